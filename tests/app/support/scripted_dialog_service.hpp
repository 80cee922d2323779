#pragma once
// A DialogService that answers from a script and remembers everything it was asked: widget
// tests run without a single real box. A question or file dialog that the script does not
// cover is answered Cancel and counted as unexpected, so a test sees it instead of hanging.

#include <deque>
#include <vector>

#include "app/DialogService.hpp"

namespace tessik::app {

class ScriptedDialogService : public DialogService {
  public:
    // Answers for the next questions, in order; other boxes answer Ok.
    void answer(Answer a) { answers_.push_back(a); }
    // The file the next file dialog returns; nothing = the user cancels it.
    void chooseNext(std::optional<std::filesystem::path> file) {
        files_.push_back(std::move(file));
    }

    // A box that offers an action takes the next answer when one is scripted (Action to take
    // it), OK otherwise.
    Answer show(const Message& message) override {
        shown.push_back(message);
        if (!message.action.empty() && !answers_.empty()) return next(answers_, Answer::Ok);
        if (message.kind != MessageKind::Question) return Answer::Ok;
        return next(answers_, Answer::Cancel);
    }
    std::optional<std::filesystem::path> chooseFile(const FileDialogRequest& request) override {
        fileRequests.push_back(request);
        return next(files_, std::optional<std::filesystem::path>{});
    }
    // The file and filter (format) the next save dialog with formats returns.
    void chooseNextFormat(std::filesystem::path file, std::size_t filter) {
        formats_.push_back(FileChoice{std::move(file), filter});
    }
    std::optional<FileChoice> chooseSaveFormat(const FileDialogRequest& request) override {
        fileRequests.push_back(request);
        return next(formats_, std::optional<FileChoice>{});
    }

    std::vector<Message> shown;
    std::vector<FileDialogRequest> fileRequests;
    int unexpected = 0;

    bool scriptUsedUp() const { return answers_.empty() && files_.empty() && formats_.empty(); }
    void clearShown() {
        shown.clear();
        fileRequests.clear();
    }

  private:
    template <typename T>
    T next(std::deque<T>& script, T unscripted) {
        if (script.empty()) {
            ++unexpected;
            return unscripted;
        }
        T front = std::move(script.front());
        script.pop_front();
        return front;
    }

    std::deque<Answer> answers_;
    std::deque<std::optional<std::filesystem::path>> files_;
    std::deque<std::optional<FileChoice>> formats_;
};

}  // namespace tessik::app
