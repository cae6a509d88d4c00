#pragma once

#include <gtest/gtest.h>

#include <deque>
#include <filesystem>
#include <optional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "platform/prompter.h"

namespace vk3::test {

// A scripted Prompter: questions take the queued Yes/No answers in order, file dialogs the
// queued choices in order (open and save share one queue). Everything shown is recorded. A
// question or dialog with nothing queued for it fails the test and answers No / cancel; an
// answer still queued when the fake goes fails the test too, since the code never asked.
class FakePrompter : public Prompter {
public:
    using Choice = std::optional<std::filesystem::path>;
    enum class MessageKind { Notice, Error, Question };
    enum class DialogKind { Open, Save };
    using ShownMessage = std::pair<MessageKind, std::string>;
    struct ShownDialog {
        DialogKind kind;
        FileDialogRequest request;
    };

    ~FakePrompter() override {
        EXPECT_TRUE(answers_.empty()) << "yes/no answers queued but never asked for";
        EXPECT_TRUE(fileChoices_.empty()) << "file choices queued but never asked for";
        EXPECT_TRUE(listPicks_.empty()) << "list picks queued but never asked for";
    }

    FakePrompter& AnswerYes() { return Answer(true); }
    FakePrompter& AnswerNo() { return Answer(false); }
    FakePrompter& Answer(bool yes) {
        answers_.push_back(yes);
        return *this;
    }
    FakePrompter& ChooseFile(Choice path) {
        fileChoices_.push_back(std::move(path));
        return *this;
    }
    FakePrompter& CancelFileDialog() { return ChooseFile(std::nullopt); }
    // Lists take their picks the same way; nothing is cancel.
    FakePrompter& PickFromList(std::optional<std::size_t> position) {
        listPicks_.push_back(position);
        return *this;
    }

    const std::vector<ShownMessage>& messages() const { return messages_; }
    const std::vector<ShownDialog>& dialogs() const { return dialogs_; }
    const std::vector<std::vector<std::string>>& lists() const { return lists_; }
    std::vector<std::string> notices() const { return Texts(MessageKind::Notice); }
    std::vector<std::string> errors() const { return Texts(MessageKind::Error); }
    std::vector<std::string> questions() const { return Texts(MessageKind::Question); }

    void Notice(std::string_view text) override {
        messages_.push_back({MessageKind::Notice, std::string(text)});
    }
    void Error(std::string_view text) override {
        messages_.push_back({MessageKind::Error, std::string(text)});
    }
    bool AskYesNo(std::string_view question) override {
        messages_.push_back({MessageKind::Question, std::string(question)});
        EXPECT_FALSE(answers_.empty()) << "unexpected question: \"" << question << "\"";
        return !answers_.empty() && Take(answers_);
    }
    Choice ChooseFileToOpen(const FileDialogRequest& request) override {
        return Choose(DialogKind::Open, request);
    }
    Choice ChooseFileToSave(const FileDialogRequest& request) override {
        return Choose(DialogKind::Save, request);
    }
    std::optional<std::size_t> ChooseFromList(std::string_view question,
                                              const std::vector<std::string>& items) override {
        messages_.push_back({MessageKind::Question, std::string(question)});
        lists_.push_back(items);
        EXPECT_FALSE(listPicks_.empty()) << "unexpected list: \"" << question << "\"";
        return listPicks_.empty() ? std::nullopt : Take(listPicks_);
    }

private:
    template <typename T>
    static T Take(std::deque<T>& queue) {
        T front = std::move(queue.front());
        queue.pop_front();
        return front;
    }
    std::vector<std::string> Texts(MessageKind kind) const {
        std::vector<std::string> texts;
        for (const auto& [shownKind, text] : messages_) {
            if (shownKind == kind) {
                texts.push_back(text);
            }
        }
        return texts;
    }
    Choice Choose(DialogKind kind, const FileDialogRequest& request) {
        dialogs_.push_back({kind, request});
        EXPECT_FALSE(fileChoices_.empty())
            << "unexpected file dialog for \"" << request.filterDescription << "\"";
        return fileChoices_.empty() ? std::nullopt : Take(fileChoices_);
    }

    std::deque<bool> answers_;
    std::deque<Choice> fileChoices_;
    std::deque<std::optional<std::size_t>> listPicks_;
    std::vector<std::vector<std::string>> lists_;
    std::vector<ShownMessage> messages_;
    std::vector<ShownDialog> dialogs_;
};

}  // namespace vk3::test
