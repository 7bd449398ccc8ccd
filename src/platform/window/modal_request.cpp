#include "platform/window/modal_request.h"

#include <algorithm>
#include <utility>

#include "platform/window/thread_queue.h"

namespace norix::platform::window {

namespace detail {

// Shared by the copies of one answer object; the last copy to go answers
// with the fallback if nobody answered.
struct AnswerState {
  AnswerState(std::shared_ptr<Completion> c, std::vector<int> b)
      : completion(std::move(c)), buttons(std::move(b)) {}
  AnswerState(const AnswerState&) = delete;
  AnswerState& operator=(const AnswerState&) = delete;
  AnswerState(AnswerState&&) = delete;
  AnswerState& operator=(AnswerState&&) = delete;
  ~AnswerState() { completion->Complete(0); }

  std::shared_ptr<Completion> completion;
  std::vector<int> buttons;
};

}  // namespace detail

MessageBoxAnswer::MessageBoxAnswer(std::shared_ptr<Completion> completion, std::vector<int> buttons)
    : state_(std::make_shared<detail::AnswerState>(std::move(completion), std::move(buttons))) {}

bool MessageBoxAnswer::operator()(int button) const {
  if (std::find(state_->buttons.begin(), state_->buttons.end(), button) == state_->buttons.end()) {
    return false;
  }
  return state_->completion->Complete(button);
}

FileDialogAnswer::FileDialogAnswer(std::shared_ptr<Completion> completion)
    : state_(std::make_shared<detail::AnswerState>(std::move(completion), std::vector<int>{})) {}

bool FileDialogAnswer::operator()(std::optional<std::string> path) const {
  if (path && path->empty()) {
    path.reset();
  }
  const LRESULT chosen = path ? 1 : 0;
  return state_->completion->Complete(chosen, std::move(path));
}

}  // namespace norix::platform::window
