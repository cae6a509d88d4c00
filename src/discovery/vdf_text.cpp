#include "discovery/vdf_text.h"

#include <cstdint>

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

class BinaryVdfReader {
public:
    explicit BinaryVdfReader(std::string_view bytes) : bytes_(bytes) {}

    bool ReadBlock(VdfNode& block, int depth) {
        block.isBlock = true;
        for (;;) {
            if (pos_ >= bytes_.size()) {
                return depth == 0;
            }
            const auto type = static_cast<unsigned char>(bytes_[pos_++]);
            if (type == kEnd || type == kAlternateEnd) {
                return true;
            }
            VdfNode entry;
            if (!ReadText(entry.key)) {
                return false;
            }
            switch (type) {
                case kBlock:
                    if (depth + 1 >= kMaxDepth || !ReadBlock(entry, depth + 1)) {
                        return false;
                    }
                    break;
                case kText:
                    if (!ReadText(entry.value)) {
                        return false;
                    }
                    break;
                case kInt32: {
                    if (bytes_.size() - pos_ < 4) {
                        return false;
                    }
                    std::uint32_t number = 0;
                    for (int i = 3; i >= 0; --i) {
                        number = number << 8 | static_cast<unsigned char>(bytes_[pos_ + i]);
                    }
                    pos_ += 4;
                    entry.value = std::to_string(number);
                    break;
                }
                case kFloat:
                case kPointer:
                case kColour:
                case kUInt64:
                case kInt64: {
                    const std::size_t size = type == kUInt64 || type == kInt64 ? 8 : 4;
                    if (bytes_.size() - pos_ < size) {
                        return false;
                    }
                    pos_ += size;
                    break;
                }
                default:
                    return false;
            }
            block.children.push_back(std::move(entry));
        }
    }

private:
    enum : unsigned char {
        kBlock = 0,
        kText = 1,
        kInt32 = 2,
        kFloat = 3,
        kPointer = 4,
        kColour = 6,
        kUInt64 = 7,
        kEnd = 8,
        kInt64 = 10,
        kAlternateEnd = 11
    };

    bool ReadText(std::string& text) {
        const std::size_t end = bytes_.find('\0', pos_);
        if (end == std::string_view::npos) {
            return false;
        }
        text.assign(bytes_.substr(pos_, end - pos_));
        pos_ = end + 1;
        return true;
    }

    std::string_view bytes_;
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

namespace {

// The whole input read as the top block's children, or nothing when it is malformed.
template <typename Reader>
std::optional<VdfNode> ParseWith(std::string_view input) {
    VdfNode root;
    Reader reader(input);
    if (!reader.ReadBlock(root, 0)) {
        return std::nullopt;
    }
    return root;
}

}  // namespace

std::optional<VdfNode> ParseVdf(std::string_view text) {
    return ParseWith<VdfReader>(text);
}

std::optional<VdfNode> ParseBinaryVdf(std::string_view bytes) {
    return ParseWith<BinaryVdfReader>(bytes);
}

}  // namespace vk3
