#include "platform/forms/memory/memory_forms.h"

#include <gtest/gtest.h>

#include <functional>

#include "host/controls.h"
#include "platform/runtime/error.h"
#include "platform/runtime/tests/expect_error.h"

namespace quillary::forms {
namespace {

using check::ErrorOf;

class FormsTest : public ::testing::Test {
 protected:
  HostFormSet set{host::ctl::kAll};
  HostForms forms = set.Forms();
};

TEST_F(FormsTest, ControlsAreFoundWithoutRegardToCaseAndKeepTheHostsSpelling) {
  struct Case {
    UserForm* form;
    const char16_t* asked;
    const char16_t* name;
  };
  for (const Case& c :
       {Case{forms.mainUser, u"Textbox1", u"TextBox1"}, Case{forms.mainUser, u"TEXTBOX2", u"TextBox2"},
        Case{forms.mainUser, u"CheckBox2", u"checkbox2"}, Case{forms.mainUser, u"Label10", u"label10"},
        Case{forms.queryUser, u"textbox1", u"Textbox1"}, Case{forms.mailBox, u"SHTDIFFRPT", u"shtDiffRpt"}}) {
    ASSERT_TRUE(c.form->Has(c.asked)) << ToUtf8(c.asked);
    EXPECT_EQ(c.form->Item(c.asked).Name(), c.name);
    EXPECT_EQ(&c.form->Item(c.asked), &c.form->Item(c.name));
  }
}

TEST_F(FormsTest, MissingControlsAndPropertiesRaise438) {
  EXPECT_FALSE(forms.mainUser->Has(u"CheckBox7"));
  std::string description;
  EXPECT_EQ(ErrorOf([&] { forms.mainUser->Item(u"CheckBox7"); }, &description), err::kNoSuchMember);
  EXPECT_EQ(description, "Object doesn't support this property or method");

  // Properties the control's kind lacks.
  Control& label = forms.mailBox->Item(u"Response");
  Control& text = forms.mainUser->Item(u"TextBox1");
  Control& check = forms.mainUser->Item(u"CheckBox1");
  for (const auto& body : std::vector<std::function<void()>>{
           [&] { label.Value(); }, [&] { label.SetFocus(); }, [&] { text.Caption(); }, [&] { check.Default(); },
           [&] { check.Text(); }, [&] { text.ListCount(); }, [&] { label.SetSelStart(0); }}) {
    EXPECT_EQ(ErrorOf(body), err::kNoSuchMember);
  }
}

TEST_F(FormsTest, CheckBoxValuesAreBooleanOrNull) {
  Control& box = forms.mainUser->Item(u"CheckBox3");
  EXPECT_EQ(box.Value(), Variant(false));
  box.SetValue(Variant::Null());
  EXPECT_TRUE(box.Value().IsNull());
  box.SetValue(Variant(-1));
  EXPECT_EQ(box.Value(), Variant(true));
  box.SetValue(Variant(u"False"));
  EXPECT_EQ(box.Value(), Variant(false));
  EXPECT_EQ(ErrorOf([&] { box.SetValue(Variant(u"maybe")); }), err::kTypeMismatch);
}

TEST_F(FormsTest, TextBoxValueAndTextAreTheSameText) {
  Control& box = forms.mainUser->Item(u"TextBox1");
  box.SetValue(Variant(u"a, b"));
  EXPECT_EQ(box.Text(), u"a, b");
  box.SetText(u"c");
  EXPECT_EQ(box.Value(), Variant(u"c"));
  box.SetValue(Variant(12.5));
  EXPECT_EQ(box.Value(), Variant(u"12.5"));
  EXPECT_EQ(ErrorOf([&] { box.SetValue(Variant::Null()); }), err::kInvalidNull);
  EXPECT_EQ(box.Text(), u"12.5");
}

// A long text reads back as it was set, through every property, whichever characters
// it holds (a list of a million Items is one), and stays when a value is refused.
TEST_F(FormsTest, LongTextsReadBackAsSet) {
  Control& box = forms.mainUser->Item(u"TextBox1");
  for (const char16_t last : {u'z', u'\u00FF', u'\u0100', static_cast<char16_t>(0xD83D)}) {
    Text text;
    for (int i = 0; i < 100000; ++i) text += static_cast<char16_t>(u' ' + i % 95);
    text += last;
    box.SetText(text);
    EXPECT_EQ(box.Text(), text);
    EXPECT_EQ(box.Value(), Variant(text));
    EXPECT_EQ(box.TextLength(), text.size());
    Text viewed;
    box.ViewText([&](TextView piece) { viewed.append(piece); });
    EXPECT_EQ(viewed, text);
    box.SetSelStart(200000);
    EXPECT_EQ(box.SelStart(), static_cast<long>(text.size()));
  }
  // A value refused keeps the long text the box holds.
  const Text held(5000, u'x');
  box.SetText(held);
  EXPECT_EQ(ErrorOf([&] { box.SetValue(Variant::Null()); }), err::kInvalidNull);
  EXPECT_EQ(box.Text(), held);
  EXPECT_EQ(box.TextLength(), held.size());
  box.SetValue(Variant(u"short"));
  EXPECT_EQ(box.Text(), u"short");
  EXPECT_EQ(box.TextLength(), 5u);
  box.SetText(Text(5000, u'a'));
  box.SetText(u"b");
  EXPECT_EQ(box.Value(), Variant(u"b"));
}

TEST_F(FormsTest, SelectionStaysInsideTheText) {
  Control& box = forms.queryUser->Item(u"Textbox2");
  box.SetText(u"abcdef");
  box.SetSelStart(2);
  box.SetSelLength(10);
  EXPECT_EQ(box.SelStart(), 2);
  EXPECT_EQ(box.SelLength(), 4);
  box.SetSelStart(99);
  EXPECT_EQ(box.SelStart(), 6);
  EXPECT_EQ(box.SelLength(), 0);
  EXPECT_EQ(ErrorOf([&] { box.SetSelLength(-1); }), 380);
  box.SetText(u"ab");  // a new text starts a new selection
  EXPECT_EQ(box.SelStart(), 0);
}

TEST_F(FormsTest, OneDefaultButtonPerForm) {
  Control& next = forms.queryUser->Item(u"NextButton");
  Control& diff = forms.queryUser->Item(u"DiffDupsButton");
  EXPECT_TRUE(next.Default());
  diff.SetDefault(true);
  EXPECT_TRUE(diff.Default());
  EXPECT_FALSE(next.Default());
  diff.SetDefault(false);
  EXPECT_FALSE(diff.Default());
  EXPECT_TRUE(forms.queryEndUser->Item(u"RepeatButton").Default());  // other forms keep theirs
}

TEST_F(FormsTest, ListBoxRowsAndSelection) {
  Control& list = forms.lastWordFirstFilter->Item(u"RemoveStringsList");
  EXPECT_EQ(list.ListCount(), 0);
  list.AddItem(u"Jr.");
  list.AddItem(u"Dr.");
  list.SetSelected(1, true);
  EXPECT_EQ(list.ListCount(), 2);
  EXPECT_EQ(list.List(0), Variant(u"Jr."));
  EXPECT_FALSE(list.Selected(0));
  EXPECT_TRUE(list.Selected(1));
  EXPECT_EQ(ErrorOf([&] { list.List(2); }), 381);
  EXPECT_EQ(ErrorOf([&] { list.SetSelected(-1, true); }), 381);
}

TEST_F(FormsTest, FocusAndRepaintAreRecorded) {
  auto& query = set.queryUser;
  EXPECT_EQ(query.FocusedControl(), u"");
  query.Item(u"textbox2").SetFocus();
  EXPECT_EQ(query.FocusedControl(), u"Textbox2");

  EXPECT_EQ(set.mainUser.RepaintCount(), 0);
  forms.mainUser->Repaint();
  forms.mainUser->Repaint();
  EXPECT_EQ(set.mainUser.RepaintCount(), 2);
  EXPECT_EQ(set.queryUser.RepaintCount(), 0);
}

TEST_F(FormsTest, ControlNamesAreUniquePerForm) {
  MemoryForm form(u"F");
  form.Add(u"Label1", ControlKind::Label);
  EXPECT_EQ(ErrorOf([&] { form.Add(u"LABEL1", ControlKind::CheckBox); }), err::kInvalidCall);
  EXPECT_EQ(form.Item(u"label1").Kind(), ControlKind::Label);
}

TEST_F(FormsTest, TheTenFormsComeInParameterOrder) {
  const UserForm* inOrder[] = {forms.bigMsg,       forms.compDupUser, forms.lastWordFirstFilter, forms.mainUser,
                               forms.queryEndUser, forms.queryUser,   forms.wrapTextFirm,        forms.mailBox,
                               forms.parse,        forms.tools};
  const char16_t* names[] = {u"BigMsgForm",       u"CompDupUserForm", u"LastWordFirstFilterForm", u"MainUserForm",
                             u"QueryEndUserForm", u"QueryUserForm",   u"WrapTextFirmForm",        u"MailBoxForm",
                             u"ParseForm",        u"ToolsForm"};
  for (int i = 0; i < 10; ++i) {
    ASSERT_NE(inOrder[i], nullptr);
    EXPECT_EQ(inOrder[i]->Name(), names[i]);
  }
}

TEST_F(FormsTest, EveryControlOfTheListExistsWithItsKindAndFirstCaption) {
  for (const ControlRow& row : host::ctl::kAll) {
    UserForm& form = *(forms.*row.form);
    SCOPED_TRACE(ToUtf8(form.Name()) + "." + ToUtf8(row.name));
    ASSERT_TRUE(form.Has(row.name));
    auto& control = static_cast<MemoryControl&>(form.Item(row.name));
    EXPECT_EQ(control.Name(), row.name);  // spelled exactly
    EXPECT_EQ(control.Kind(), row.kind);
    if (row.kind != ControlKind::TextBox && row.kind != ControlKind::ListBox && row.kind != ControlKind::ComboBox) {
      EXPECT_EQ(control.Caption(), row.caption);
    }
  }
  // Nothing beyond the list.
  std::size_t total = 0;
  for (const UserForm* f :
       {forms.bigMsg, forms.compDupUser, forms.lastWordFirstFilter, forms.mainUser, forms.queryEndUser, forms.queryUser,
        forms.wrapTextFirm, forms.mailBox, forms.parse, forms.tools}) {
    total += static_cast<const MemoryForm*>(f)->Controls().size();
  }
  EXPECT_EQ(total, std::size(host::ctl::kAll));
}

TEST_F(FormsTest, HostDefaults) {
  // The Active Window is TextBox1 at first.
  EXPECT_GE(forms.mainUser->Item(u"TextBox1").BackColor(), kActiveWindowThreshold);
  EXPECT_LT(forms.mainUser->Item(u"TextBox2").BackColor(), kActiveWindowThreshold);
  EXPECT_TRUE(forms.mailBox->Item(u"OnScreenX").Enabled());
  EXPECT_FALSE(forms.mailBox->Item(u"SkipMenu").Enabled());
  EXPECT_EQ(forms.mainUser->Item(u"CheckBox1").Value(), Variant(false));
  EXPECT_EQ(forms.mainUser->Item(u"CheckBox6").Caption(), u"Items");
  EXPECT_EQ(forms.mailBox->Item(u"Response").Caption(), u"");
  EXPECT_EQ(forms.parse->Item(u"Bolded").Caption(), u"");
  EXPECT_EQ(forms.queryUser->Item(u"CheckBox1").Value(), Variant(false));
  EXPECT_TRUE(forms.lastWordFirstFilter->Item(u"RemoveStringsList").Value().IsNull());
  // The tag settings: the default name pair, no report, the captions quoted in texts.
  EXPECT_EQ(forms.compDupUser->Item(u"TagNames").Value(), Variant(u"LftOnly/RtOnly"));
  EXPECT_EQ(forms.compDupUser->Item(u"SummaryNo").Value(), Variant(true));
  EXPECT_EQ(forms.compDupUser->Item(u"SummaryYes").Value(), Variant(false));
  EXPECT_EQ(forms.compDupUser->Item(u"JoinCells").Caption(), u"Compare Each Row as a Single Item");
  EXPECT_EQ(forms.mainUser->Item(u"CheckBox4").Caption(), u"Dups:Tag & Rprt");
}

}  // namespace
}  // namespace quillary::forms
