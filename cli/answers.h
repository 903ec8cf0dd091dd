// How the command-line host answers the component's questions: message boxes, the big
// message form, the compare dialog, the Query's end-of-pass dialog and the break key.
//
// Every question is printed to the error stream with its buttons spelled out. Its
// answer comes from the answers queued in advance for its kind; else, in an
// interactive session, from the person at the terminal (a button word or its code; an
// empty line takes the default); else from the default button. The break key is never
// asked: it answers "NoBreak" unless an answer was queued.
#pragma once

#include <deque>
#include <iosfwd>
#include <map>
#include <optional>
#include <string>
#include <vector>

#include "platform/addin/scripted_host.h"
#include "platform/forms/memory/memory_forms.h"

namespace quillary::cli {

// One button of a question: the code written back to the component, the word that
// answers with it, and the label shown (the word, or the button's caption).
struct Choice {
  int code;
  std::string word;
  std::string label;
};

// The buttons of a message style (style & 15) and the index of its default button.
std::vector<Choice> MessageChoices(long style);
std::size_t MessageDefault(long style);

// The caption queued for an answer word or code of the given kind ("Yes" or "6" for a
// message, "UseNew" or "1" for the compare dialog, any text for the break key). Raises
// Failure for a word or code that the kind has no button for.
Text AnswerCaption(addin::Reply kind, const std::string& value);

class Answers {
 public:
  // `ask` is the stream the person answers on, or null for an unattended session.
  // The forms give the big message form's button captions.
  Answers(forms::HostFormSet& forms, std::ostream& err, std::istream* ask) : forms_(forms), err_(err), ask_(ask) {}

  void Queue(addin::Reply kind, Text caption) { queues_[kind].push_back(std::move(caption)); }

  // The answer provider of the scripted host (see above). A queued message answer
  // that is no button of the message raises Error 1004 inside the component's call.
  std::optional<Text> Answer(const addin::AnswerRequest& request);

 private:
  struct Question {
    std::string title;
    Text text;
    std::vector<Choice> choices;
    std::size_t defaultChoice = 0;
  };
  Question MessageQuestion(const addin::AnswerRequest& request) const;
  Question BigMsgQuestion(const addin::AnswerRequest& request) const;
  static Question CompareQuestion(const addin::AnswerRequest& request);
  Question QueryEndQuestion(const addin::AnswerRequest& request) const;
  std::optional<Text> TakeQueued(addin::Reply kind);
  void Show(const Question& q) const;
  int Ask(const Question& q);

  forms::HostFormSet& forms_;
  std::ostream& err_;
  std::istream* ask_;
  std::map<addin::Reply, std::deque<Text>> queues_;
};

}  // namespace quillary::cli
