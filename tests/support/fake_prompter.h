#pragma once

#include <gtest/gtest.h>

#include <deque>
#include <filesystem>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "platform/prompter.h"

namespace vk3::test {

// A scripted Prompter: questions take the queued Yes/No answers in order, file dialogs the
// queued choices in order (open, save and folder share one queue), lists the queued picks.
// Everything shown is recorded. Anything asked with nothing queued for it fails the test and
// answers No / cancel; an answer still queued when the fake goes fails the test too.
class FakePrompter : public Prompter {
public:
    using Choice = std::optional<std::filesystem::path>;
    enum class MessageKind { Notice, Error, Question };
    enum class DialogKind { Open, Save, Folder };
    using ShownMessage = std::pair<MessageKind, std::string>;
    struct ShownDialog {
        DialogKind kind;
        FileDialogRequest request;
    };

    ~FakePrompter() override {
        EXPECT_TRUE(answers_.empty() && fileChoices_.empty() && listPicks_.empty())
            << "answers queued but never asked for";
    }

    FakePrompter& AnswerYes() { return Answer(true); }
    FakePrompter& AnswerNo() { return Answer(false); }
    FakePrompter& Answer(bool yes) { return answers_.push_back(yes), *this; }
    FakePrompter& ChooseFile(Choice path) { return fileChoices_.push_back(std::move(path)), *this; }
    FakePrompter& CancelFileDialog() { return ChooseFile(std::nullopt); }
    FakePrompter& PickFromList(std::optional<std::size_t> pick) {
        return listPicks_.push_back(pick), *this;
    }

    const std::vector<ShownMessage>& messages() const { return messages_; }
    const std::vector<ShownDialog>& dialogs() const { return dialogs_; }
    const std::vector<std::vector<std::string>>& lists() const { return lists_; }
    std::vector<std::string> notices() const { return Texts(MessageKind::Notice); }
    std::vector<std::string> errors() const { return Texts(MessageKind::Error); }
    std::vector<std::string> questions() const { return Texts(MessageKind::Question); }
    // Those of the questions asked with No as the default.
    const std::vector<std::string>& questionsDefaultNo() const { return defaultNo_; }

    void Notice(std::string_view text) override {
        messages_.emplace_back(MessageKind::Notice, text);
    }
    void Error(std::string_view text) override { messages_.emplace_back(MessageKind::Error, text); }
    bool AskYesNo(std::string_view question) override {
        messages_.emplace_back(MessageKind::Question, question);
        return Take(answers_, question);
    }
    bool AskYesNoDefaultNo(std::string_view question) override {
        defaultNo_.emplace_back(question);
        return AskYesNo(question);
    }
    Choice ChooseFileToOpen(const FileDialogRequest& request) override {
        dialogs_.push_back({DialogKind::Open, request});
        return Take(fileChoices_, request.filterDescription);
    }
    Choice ChooseFileToSave(const FileDialogRequest& request) override {
        dialogs_.push_back({DialogKind::Save, request});
        return Take(fileChoices_, request.filterDescription);
    }
    Choice ChooseFolder(std::string_view title, const std::filesystem::path& start) override {
        dialogs_.push_back({DialogKind::Folder, {std::string(title), {}, {}, start.string()}});
        return Take(fileChoices_, title);
    }
    std::optional<std::size_t> ChooseFromList(std::string_view question,
                                              const std::vector<std::string>& items) override {
        messages_.emplace_back(MessageKind::Question, question);
        lists_.push_back(items);
        return Take(listPicks_, question);
    }

private:
    // The next queued answer; with none queued, the test fails and the answer is No / cancel.
    template <typename T>
    static T Take(std::deque<T>& queue, std::string_view asked) {
        EXPECT_FALSE(queue.empty()) << "nothing queued for \"" << asked << "\"";
        if (queue.empty()) {
            return T();
        }
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

    std::deque<bool> answers_;
    std::deque<Choice> fileChoices_;
    std::deque<std::optional<std::size_t>> listPicks_;
    std::vector<std::vector<std::string>> lists_;
    std::vector<ShownMessage> messages_;
    std::vector<std::string> defaultNo_;
    std::vector<ShownDialog> dialogs_;
};

}  // namespace vk3::test
