// How the command-line host answers the component's questions: message boxes, the big
// message form, the compare dialog, the Query's end-of-pass dialog and the break key.
//
// Every question is printed to the error stream with its buttons spelled out: its whole
// text, or its first line only (see AnswerOptions). Its answer comes from the answers
// queued in advance for its kind; else, in an interactive session, from the person at
// the terminal (a button word or its code; an empty line takes the default); else from
// the default button, unless that answer writes over the user's cells
// (overwriting_questions.h): then the run stops at the question, or takes the answer
// that the question's entry there names for unattended runs. A queued answer that is
// no button of its message stops the run too. The break key is never asked: it answers
// "NoBreak" unless an answer was queued.
#pragma once

#include <deque>
#include <functional>
#include <iosfwd>
#include <map>
#include <optional>
#include <string>
#include <vector>

#include "cli/overwriting_questions.h"
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

// How questions are shown and answered.
struct AnswerOptions {
  // The stream the person answers on, or null for an unattended session.
  std::istream* ask = nullptr;
  // The whole text of each question; else its title and first line.
  bool wholeTexts = true;
  // How a stopped run names the answers that would answer the question: as the
  // --answer options of the commands on a range, or as a script's answer command.
  bool answersAsOptions = false;
};

class Answers {
 public:
  // The forms give the big message form's button captions.
  Answers(forms::HostFormSet& forms, std::ostream& err, AnswerOptions options)
      : forms_(forms), err_(err), options_(options) {}

  void Queue(addin::Reply kind, Text caption) { queues_[kind].push_back(std::move(caption)); }

  // Where the text of the active cell's comment is read, when a question may replace it.
  void SetActiveCellComment(std::function<std::optional<Text>()> read) { activeComment_ = std::move(read); }

  // The answer provider of the scripted host (see above). Where the run stops at a
  // question, it raises Error 1004 inside the component's call, and every later
  // question does the same; TakeStop then says why in the user's words.
  std::optional<Text> Answer(const addin::AnswerRequest& request);

  // Why the run stopped at a question (once), or nothing when it did not.
  std::optional<std::string> TakeStop();

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
  int Ask(const Question& q, const std::optional<OverwritingAnswer>& overwriting);
  // Records why the run stops and raises the error that ends the component's call.
  [[noreturn]] void Stop(std::string why);
  // The answers that would answer the next question of the kind with `code`: those
  // given so far to questions of the kind, then `code`, spelled as options or as a
  // script's command.
  std::string AnswersGiving(addin::Reply kind, int code) const;

  forms::HostFormSet& forms_;
  std::ostream& err_;
  AnswerOptions options_;
  std::map<addin::Reply, std::deque<Text>> queues_;
  std::function<std::optional<Text>()> activeComment_;
  // The codes answered so far, by kind.
  std::map<addin::Reply, std::vector<int>> given_;
  // Why the run stopped; `stopped_` stays set for the rest of the call.
  std::optional<std::string> stop_;
  bool stopped_ = false;
};

}  // namespace quillary::cli
