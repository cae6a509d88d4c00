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
// queued choices in order (open and save share one queue). Everything shown is recorded. A
// question or dialog with nothing queued for it fails the test and answers No / cancel; an
// answer still queued when the fake goes fails the test too, since the code never asked.
class FakePrompter : public Prompter {
public:
    enum class MessageKind { Notice, Error, Question };
    enum class DialogKind { Open, Save };

    struct ShownMessage {
        MessageKind kind;
        std::string text;
    };
    struct ShownDialog {
        DialogKind kind;
        FileDialogRequest request;
    };

    FakePrompter() = default;
    FakePrompter(const FakePrompter&) = delete;
    FakePrompter& operator=(const FakePrompter&) = delete;
    ~FakePrompter() override {
        if (!answers_.empty()) {
            ADD_FAILURE() << answers_.size() << " yes/no answer(s) queued but never asked for";
        }
        if (!fileChoices_.empty()) {
            ADD_FAILURE() << fileChoices_.size() << " file choice(s) queued but never asked for";
        }
    }

    FakePrompter& AnswerYes() { return Answer(true); }
    FakePrompter& AnswerNo() { return Answer(false); }
    FakePrompter& Answer(bool yes) {
        answers_.push_back(yes);
        return *this;
    }
    FakePrompter& ChooseFile(std::filesystem::path path) {
        fileChoices_.push_back(std::move(path));
        return *this;
    }
    FakePrompter& CancelFileDialog() {
        fileChoices_.push_back(std::nullopt);
        return *this;
    }

    const std::vector<ShownMessage>& messages() const { return messages_; }
    const std::vector<ShownDialog>& dialogs() const { return dialogs_; }

    // The texts of one kind, in the order shown.
    std::vector<std::string> Texts(MessageKind kind) const {
        std::vector<std::string> texts;
        for (const ShownMessage& message : messages_) {
            if (message.kind == kind) {
                texts.push_back(message.text);
            }
        }
        return texts;
    }
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
        if (answers_.empty()) {
            ADD_FAILURE() << "unexpected question: \"" << question << "\"";
            return false;
        }
        const bool yes = answers_.front();
        answers_.pop_front();
        return yes;
    }
    std::optional<std::filesystem::path> ChooseFileToOpen(
        const FileDialogRequest& request) override {
        return Choose(DialogKind::Open, request);
    }
    std::optional<std::filesystem::path> ChooseFileToSave(
        const FileDialogRequest& request) override {
        return Choose(DialogKind::Save, request);
    }

private:
    std::optional<std::filesystem::path> Choose(DialogKind kind, const FileDialogRequest& request) {
        dialogs_.push_back({kind, request});
        if (fileChoices_.empty()) {
            ADD_FAILURE() << "unexpected " << (kind == DialogKind::Open ? "open" : "save")
                          << " dialog for \"" << request.filterDescription << "\"";
            return std::nullopt;
        }
        std::optional<std::filesystem::path> choice = std::move(fileChoices_.front());
        fileChoices_.pop_front();
        return choice;
    }

    std::deque<bool> answers_;
    std::deque<std::optional<std::filesystem::path>> fileChoices_;
    std::vector<ShownMessage> messages_;
    std::vector<ShownDialog> dialogs_;
};

}  // namespace vk3::test
