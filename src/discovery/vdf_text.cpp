#include "discovery/vdf_text.h"

#include "text/ascii_text.h"

namespace vk3 {

namespace {

constexpr int kMaxDepth = 64;

class VdfReader {
public:
    explicit VdfReader(std::string_view text) : text_(text) {
        if (text_.starts_with("\xEF\xBB\xBF")) {
            text_.remove_prefix(3);
        }
    }

    bool ReadBlock(VdfNode& block, int depth) {
        block.isBlock = true;
        for (;;) {
            const Token key = Next();
            if (key.kind == Token::End) {
                return depth == 0;
            }
            if (key.kind == Token::Close) {
                return depth > 0;
            }
            if (key.kind != Token::Text) {
                return false;
            }
            VdfNode entry;
            entry.key = key.text;
            const Token value = Next();
            if (value.kind == Token::Open) {
                if (depth + 1 >= kMaxDepth || !ReadBlock(entry, depth + 1)) {
                    return false;
                }
            } else if (value.kind == Token::Text) {
                entry.value = value.text;
            } else {
                return false;
            }
            block.children.push_back(std::move(entry));
        }
    }

private:
    struct Token {
        enum Kind { Text, Open, Close, End, Bad } kind;
        std::string text;
    };

    void SkipSpaceAndComments() {
        while (pos_ < text_.size()) {
            const char c = text_[pos_];
            if (c == ' ' || c == '\t' || c == '\r' || c == '\n') {
                ++pos_;
            } else if (text_.substr(pos_, 2) == "//") {
                pos_ = std::min(text_.find('\n', pos_), text_.size());
            } else if (c == '[') {  // a platform condition after a key or value
                const std::size_t close = text_.find(']', pos_);
                pos_ = close == std::string_view::npos ? text_.size() : close + 1;
            } else {
                return;
            }
        }
    }

    Token Next() {
        SkipSpaceAndComments();
        if (pos_ >= text_.size()) {
            return {Token::End, {}};
        }
        const char c = text_[pos_++];
        if (c == '{') {
            return {Token::Open, {}};
        }
        if (c == '}') {
            return {Token::Close, {}};
        }
        std::string text;
        if (c != '"') {
            for (--pos_; pos_ < text_.size() && !IsBareEnd(text_[pos_]); ++pos_) {
                text += text_[pos_];
            }
            return {Token::Text, std::move(text)};
        }
        while (pos_ < text_.size()) {
            const char q = text_[pos_++];
            if (q == '"') {
                return {Token::Text, std::move(text)};
            }
            if (q == '\\' && pos_ < text_.size()) {
                const char e = text_[pos_++];
                text += e == 'n' ? '\n' : e == 't' ? '\t' : e;
            } else {
                text += q;
            }
        }
        return {Token::Bad, {}};
    }

    static bool IsBareEnd(char c) {
        return c == ' ' || c == '\t' || c == '\r' || c == '\n' || c == '{' || c == '}' || c == '"';
    }

    std::string_view text_;
    std::size_t pos_ = 0;
};

}  // namespace

const VdfNode* VdfNode::Find(std::string_view name) const {
    for (const VdfNode& child : children) {
        if (EqualIgnoringAsciiCase(child.key, name)) {
            return &child;
        }
    }
    return nullptr;
}

std::optional<VdfNode> ParseVdf(std::string_view text) {
    VdfNode root;
    VdfReader reader(text);
    if (!reader.ReadBlock(root, 0)) {
        return std::nullopt;
    }
    return root;
}

}  // namespace vk3
