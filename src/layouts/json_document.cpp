#include "layouts/json_document.hpp"

#include <cstddef>
#include <iterator>
#include <nlohmann/json.hpp>
#include <string>
#include <vector>

namespace tessik::layouts {
namespace {

using Json = nlohmann::json;

// The line of the character the reader took last. The reader tells its events right after
// the last character of the value (a number's one character of look-ahead is a space, a
// comma or the line's end), so this is the value's line.
struct Position {
    std::size_t newlines = 0;
    std::size_t line = 1;
};

// Hands the text to the reader one character at a time, counting lines as it goes.
class CountingIterator {
  public:
    using iterator_category = std::input_iterator_tag;
    using value_type = char;
    using difference_type = std::ptrdiff_t;
    using pointer = const char*;
    using reference = const char&;

    CountingIterator(const char* at, Position* position) : at_(at), position_(position) {}
    reference operator*() const { return *at_; }
    CountingIterator& operator++() {
        position_->line = position_->newlines + 1;
        if (*at_ == '\n') ++position_->newlines;
        ++at_;
        return *this;
    }
    CountingIterator operator++(int) {
        CountingIterator before = *this;
        ++*this;
        return before;
    }
    bool operator==(const CountingIterator& other) const { return at_ == other.at_; }
    bool operator!=(const CountingIterator& other) const { return at_ != other.at_; }

  private:
    const char* at_;
    Position* position_;
};

class TreeBuilder : public nlohmann::json_sax<Json> {
  public:
    TreeBuilder(const Position& position, DocumentParse& out) : position_(position), out_(out) {}

    bool null() override { return leaf(DocumentValue::Kind::Null, "null"); }
    bool boolean(bool value) override {
        return leaf(DocumentValue::Kind::Boolean, value ? "true" : "false");
    }
    bool number_integer(number_integer_t value) override {
        return leaf(DocumentValue::Kind::Number, std::to_string(value));
    }
    bool number_unsigned(number_unsigned_t value) override {
        return leaf(DocumentValue::Kind::Number, std::to_string(value));
    }
    bool number_float(number_float_t, const string_t& text) override {
        return leaf(DocumentValue::Kind::Number, text);
    }
    bool string(string_t& value) override { return leaf(DocumentValue::Kind::String, value); }
    bool binary(binary_t&) override { return leaf(DocumentValue::Kind::Null, {}); }
    bool start_object(std::size_t) override { return open(DocumentValue::Kind::Object); }
    bool key(string_t& name) override {
        key_ = name;
        return true;
    }
    bool end_object() override { return close(); }
    bool start_array(std::size_t) override { return open(DocumentValue::Kind::Array); }
    bool end_array() override { return close(); }
    bool parse_error(std::size_t, const std::string&,
                     const nlohmann::detail::exception& error) override {
        return fail(readerWords(error.what()));
    }

  private:
    DocumentValue* place(DocumentValue::Kind kind, std::string text) {
        DocumentValue v;
        v.kind = kind;
        v.text = std::move(text);
        v.line = position_.line;
        if (open_.empty()) {
            out_.root = std::move(v);
            return &out_.root;
        }
        // Only the innermost open container grows, so the pointers to the ones around it stay
        // valid.
        DocumentValue& parent = *open_.back();
        if (parent.kind == DocumentValue::Kind::Array) {
            parent.items.push_back(std::move(v));
            return &parent.items.back();
        }
        parent.members.emplace_back(std::move(key_), std::move(v));
        return &parent.members.back().second;
    }

    bool leaf(DocumentValue::Kind kind, std::string text) {
        place(kind, std::move(text));
        return true;
    }

    bool open(DocumentValue::Kind kind) {
        if (open_.size() >= kMaxDocumentDepth) return fail("nested too deeply");
        open_.push_back(place(kind, {}));
        return true;
    }

    bool close() {
        open_.pop_back();
        return true;
    }

    bool fail(std::string why) {
        out_.errorLine = position_.line;
        out_.error = std::move(why);
        return false;
    }

    // "[json.exception.parse_error.101] parse error at line 3, column 7: syntax error while
    // parsing object - unexpected '}'; expected string literal": the part after the place,
    // which the error's line gives already.
    static std::string readerWords(std::string_view what) {
        const std::size_t column = what.find("column ");
        const std::size_t colon = what.find(": ", column == std::string_view::npos ? 0 : column);
        return std::string(colon == std::string_view::npos ? what : what.substr(colon + 2));
    }

    const Position& position_;
    DocumentParse& out_;
    std::vector<DocumentValue*> open_;
    std::string key_;
};

}  // namespace

DocumentParse parseJsonDocument(std::string_view text) {
    DocumentParse out;
    Position position;
    TreeBuilder builder(position, out);
    const CountingIterator first(text.data(), &position);
    const CountingIterator last(text.data() + text.size(), &position);
    out.ok = Json::sax_parse(first, last, &builder);
    if (!out.ok) out.root = {};
    return out;
}

}  // namespace tessik::layouts
