#include "cli/answers.h"

#include <algorithm>
#include <charconv>
#include <istream>
#include <ostream>
#include <utility>

#include "platform/runtime/error.h"
#include "platform/runtime/text_order.h"
#include "platform/runtime/vba.h"
#include "workbook/failure.h"
#include "workbook/words.h"

namespace quillary::cli {

using addin::Reply;

namespace {

struct Word {
  int code;
  const char* word;
};

// The words of each kind's answers; the first word of a code is the one shown.
constexpr Word kMessageWords[] = {{1, "OK"},     {2, "Cancel"}, {3, "Abort"}, {4, "Retry"},
                                  {5, "Ignore"}, {6, "Yes"},    {7, "No"}};
constexpr Word kBigMsgWords[] = {{0, "Cancel"},        {1, "OK"},        {2, "Option"},
                                 {3, "Option2"},       {1, "OK_Button"}, {2, "Option_Button"},
                                 {3, "Option_Button2"}};
constexpr Word kCompareWords[] = {{0, "Cancel"}, {1, "UseNew"}, {2, "UseCollected"}};
constexpr Word kQueryEndWords[] = {{addin::kQueryEndRepeat, "Repeat"}, {addin::kQueryEndDifferent, "Different"}};

std::span<const Word> WordsOf(Reply kind) {
  switch (kind) {
    case Reply::Message: return kMessageWords;
    case Reply::BigMsg: return kBigMsgWords;
    case Reply::Compare: return kCompareWords;
    case Reply::QueryEnd: return kQueryEndWords;
    case Reply::BreakKey: break;
  }
  return {};
}

bool SameWord(std::string_view a, std::string_view b) { return text_order::EqualNoCase(FromUtf8(a), FromUtf8(b)); }

std::optional<int> ParseCode(std::string_view s) {
  int n = 0;
  const auto [end, ec] = std::from_chars(s.data(), s.data() + s.size(), n);
  if (ec != std::errc() || end != s.data() + s.size()) return std::nullopt;
  return n;
}

// The code that `value` (a word or a code) stands for among `choices`.
std::optional<int> MatchChoice(const std::vector<Choice>& choices, std::string_view value) {
  const auto code = ParseCode(value);
  for (const Choice& c : choices) {
    if (code ? *code == c.code : SameWord(value, c.word)) return c.code;
  }
  return std::nullopt;
}

std::string WordOf(std::span<const Word> words, int code) {
  for (const Word& w : words) {
    if (w.code == code) return w.word;
  }
  return std::to_string(code);
}

Choice ChoiceOf(std::span<const Word> words, int code) {
  const std::string word = WordOf(words, code);
  return {code, word, word};
}

std::string IconOf(long style) {
  switch (style & 0x70) {
    case 16: return "critical";
    case 32: return "question";
    case 48: return "exclamation";
    case 64: return "information";
    default: return "";
  }
}

std::string Trimmed(const std::string& s) {
  const auto first = s.find_first_not_of(" \t\r");
  if (first == std::string::npos) return "";
  return s.substr(first, s.find_last_not_of(" \t\r") - first + 1);
}

// The lines of a text (CR, LF or CR LF end a line).
std::vector<std::string> Lines(const std::string& text) {
  std::vector<std::string> lines;
  std::size_t start = 0;
  while (start <= text.size()) {
    std::size_t end = text.find_first_of("\r\n", start);
    if (end == std::string::npos) end = text.size();
    lines.push_back(text.substr(start, end - start));
    if (end < text.size() && text[end] == '\r' && end + 1 < text.size() && text[end + 1] == '\n') ++end;
    start = end + 1;
  }
  return lines;
}

// The first line of a text that is not empty.
std::string FirstLine(const Text& text) {
  for (const std::string& line : Lines(ToUtf8(text))) {
    if (!line.empty()) return line;
  }
  return "";
}

// The word of a kind in answer commands and --answer options.
std::string KindName(Reply kind) {
  switch (kind) {
    case Reply::Message: return "message";
    case Reply::BigMsg: return "bigmsg";
    case Reply::Compare: return "compare";
    case Reply::QueryEnd: return "queryend";
    case Reply::BreakKey: break;
  }
  return "break";
}

}  // namespace

std::vector<Choice> MessageChoices(long style) {
  static const std::vector<std::vector<int>> kSets{{1}, {1, 2}, {3, 4, 5}, {6, 7, 2}, {6, 7}, {4, 2}};
  const auto set = static_cast<std::size_t>(style & 15);
  std::vector<Choice> out;
  for (const int code : set < kSets.size() ? kSets[set] : kSets[0]) out.push_back(ChoiceOf(kMessageWords, code));
  return out;
}

std::size_t MessageDefault(long style) {
  const auto index = static_cast<std::size_t>((style >> 8) & 3);
  return index < MessageChoices(style).size() ? index : 0;
}

Text AnswerCaption(Reply kind, const std::string& value) {
  if (kind == Reply::BreakKey) return FromUtf8(value);
  const auto words = WordsOf(kind);
  const auto code = ParseCode(value);
  for (const Word& w : words) {
    if (code ? *code == w.code : SameWord(value, w.word)) return FromUtf8(std::to_string(w.code));
  }
  std::string known;
  for (const Word& w : words)
    known += std::string(known.empty() ? "" : ", ") + w.word + " (" + std::to_string(w.code) + ")";
  throw workbook::Failure(workbook::Quoted(value) + " is no answer here; use one of: " + known);
}

std::optional<Text> Answers::TakeQueued(Reply kind) {
  auto& queue = queues_[kind];
  if (queue.empty()) return std::nullopt;
  Text caption = std::move(queue.front());
  queue.pop_front();
  return caption;
}

Answers::Question Answers::MessageQuestion(const addin::AnswerRequest& request) const {
  std::string title = "message";
  const std::string icon = IconOf(request.style);
  if (!icon.empty()) title += " (" + icon + ")";
  return {title, request.prompt, MessageChoices(request.style), MessageDefault(request.style)};
}

Answers::Question Answers::BigMsgQuestion(const addin::AnswerRequest& request) const {
  Question q{"big message", request.prompt, {}, 0};
  static constexpr const char16_t* kButtons[] = {u"OK_Button", u"Option_Button", u"Option_Button2"};
  for (const int code : {1, 2, 3}) {
    const forms::Control& button = forms_.bigMsg.Item(kButtons[code - 1]);
    if (!button.Visible()) continue;
    Choice c = ChoiceOf(kBigMsgWords, code);
    const std::string caption = ToUtf8(button.Caption());
    if (!caption.empty() && !SameWord(caption, c.word)) c.label = c.word + " \"" + caption + "\"";
    q.choices.push_back(std::move(c));
  }
  q.choices.push_back(ChoiceOf(kBigMsgWords, 0));
  return q;
}

Answers::Question Answers::CompareQuestion(const addin::AnswerRequest& request) {
  Question q{"compare dialog", request.prompt, {}, 0};
  for (const int code : {1, 2, 0}) q.choices.push_back(ChoiceOf(kCompareWords, code));
  // The button the component passed is the default; any other leaves Cancel.
  const std::string button = ToUtf8(request.defaultButton);
  q.defaultChoice = SameWord(button, "UseNew") ? 0 : SameWord(button, "UseCollected") ? 1 : 2;
  return q;
}

Answers::Question Answers::QueryEndQuestion(const addin::AnswerRequest& request) const {
  Question q{"end of the Query pass", u"Found all the cells having " + request.prompt, {}, 0};
  q.choices.push_back(ChoiceOf(kQueryEndWords, addin::kQueryEndRepeat));
  if (forms_.queryEndUser.Item(u"DifferentButton").Visible()) {
    q.choices.push_back(ChoiceOf(kQueryEndWords, addin::kQueryEndDifferent));
    if (SameWord(ToUtf8(request.defaultButton), "DifferentButton")) q.defaultChoice = 1;
  }
  return q;
}

void Answers::Show(const Question& q) const {
  err_ << "quillary: " << q.title;
  for (std::size_t i = 0; i < q.choices.size(); ++i) {
    err_ << " [" << q.choices[i].label << "]" << (i == q.defaultChoice && q.choices.size() > 1 ? "*" : "");
  }
  err_ << "\n";
  const std::vector<std::string> lines = Lines(ToUtf8(q.text));
  if (options_.wholeTexts) {
    // Empty lines stay empty (no blanks at the ends of lines).
    for (const std::string& line : lines) err_ << (line.empty() ? "" : "  ") << line << "\n";
    return;
  }
  const auto first = std::find_if(lines.begin(), lines.end(), [](const std::string& l) { return !l.empty(); });
  if (first == lines.end()) return;
  err_ << "  " << *first << "\n";
  const auto more = std::count_if(first + 1, lines.end(), [](const std::string& l) { return !l.empty(); });
  if (more > 0) {
    err_ << "  [" << more << (more == 1 ? " more line" : " more lines") << ": --verbose shows the whole text]\n";
  }
}

int Answers::Ask(const Question& q, const std::optional<OverwritingAnswer>& overwriting) {
  const Choice& fallback = q.choices[q.defaultChoice];
  for (;;) {
    err_ << "quillary: answer (Enter for " << fallback.word;
    if (overwriting) err_ << "; " << WordOf(kMessageWords, overwriting->code) << " " << overwriting->does;
    err_ << "): " << std::flush;
    std::string line;
    if (!std::getline(*options_.ask, line)) return fallback.code;
    line = Trimmed(line);
    if (line.empty()) return fallback.code;
    if (const auto code = MatchChoice(q.choices, line)) return *code;
    err_ << "quillary: '" << line << "' is none of the buttons\n";
  }
}

void Answers::Stop(std::string why) {
  stop_ = std::move(why);
  stopped_ = true;
  Raise(err::kApplication, "The command-line host stopped at a question");
}

std::optional<std::string> Answers::TakeStop() {
  stopped_ = false;
  return std::exchange(stop_, std::nullopt);
}

std::string Answers::AnswersGiving(Reply kind, int code) const {
  const auto words = WordsOf(kind);
  std::vector<int> all;
  if (const auto given = given_.find(kind); given != given_.end()) all = given->second;
  all.push_back(code);
  const std::string name = KindName(kind);
  std::string out = options_.answersAsOptions ? "" : "answer " + name;
  for (const int c : all) {
    if (!options_.answersAsOptions) {
      out.append(" ").append(WordOf(words, c));
      continue;
    }
    if (!out.empty()) out.append(" ");
    out.append("--answer ").append(name).append("=").append(WordOf(words, c));
  }
  return out;
}

std::optional<Text> Answers::Answer(const addin::AnswerRequest& request) {
  // Once the run stops, no question is answered: the component's call ends.
  if (stopped_) Raise(err::kApplication, "The command-line host stopped at a question");
  if (request.kind == Reply::BreakKey) {
    auto queued = TakeQueued(Reply::BreakKey);
    if (queued) err_ << "quillary: break key answered \"" << ToUtf8(*queued) << "\"\n";
    return queued;
  }
  const Question q = request.kind == Reply::Message    ? MessageQuestion(request)
                     : request.kind == Reply::BigMsg   ? BigMsgQuestion(request)
                     : request.kind == Reply::QueryEnd ? QueryEndQuestion(request)
                                                       : CompareQuestion(request);
  Show(q);
  const auto words = WordsOf(request.kind);
  const std::optional<OverwritingAnswer> overwriting =
      request.kind == Reply::Message
          ? OverwritingAnswerOf(request.prompt, request.style, activeComment_ ? activeComment_() : std::nullopt)
          : std::nullopt;
  const std::string named = "message \"" + FirstLine(request.prompt) + "\"";
  if (auto queued = TakeQueued(request.kind)) {
    const int code = static_cast<int>(vba::Val(*queued));
    if (request.kind == Reply::Message && !MatchChoice(q.choices, std::to_string(code))) {
      std::string buttons;
      for (const Choice& c : q.choices) buttons += (buttons.empty() ? "" : ", ") + c.word;
      Stop("the queued answer " + WordOf(words, code) + " (answer " + std::to_string(given_[request.kind].size() + 1) +
           " of the " + KindName(request.kind) + "s) is no button of the " + named + ", whose buttons are " + buttons +
           "; the run stops here, before anything after it (a save too).");
    }
    given_[request.kind].push_back(code);
    err_ << "quillary: answered " << WordOf(words, code) << " (queued)\n";
    return queued;
  }
  const Choice& fallback = q.choices[q.defaultChoice];
  if (options_.ask == nullptr && overwriting && overwriting->code == fallback.code && overwriting->unattended != 0) {
    given_[request.kind].push_back(overwriting->unattended);
    err_ << "quillary: answered " << WordOf(words, overwriting->unattended) << " (the default, " << fallback.word
         << ", " << overwriting->does << ", which an unattended run does not do for you)\n";
    return FromUtf8(std::to_string(overwriting->unattended));
  }
  if (options_.ask == nullptr && overwriting && overwriting->code == fallback.code) {
    const auto other =
        std::find_if(q.choices.begin(), q.choices.end(), [&](const Choice& c) { return c.code != fallback.code; });
    Stop("stopped at the " + named + ": its default answer, " + fallback.word + ", " + std::string(overwriting->does) +
         ", which an unattended run does not do for you; the run stops here, before anything after it (a save "
         "too). To answer it, give " +
         AnswersGiving(request.kind, fallback.code) +
         (other == q.choices.end() ? "" : " (or " + AnswersGiving(request.kind, other->code) + ")") + ".");
  }
  const int code = options_.ask != nullptr ? Ask(q, overwriting) : fallback.code;
  given_[request.kind].push_back(code);
  err_ << "quillary: answered " << WordOf(words, code) << (options_.ask != nullptr ? "" : " (default)") << "\n";
  return FromUtf8(std::to_string(code));
}

}  // namespace quillary::cli
