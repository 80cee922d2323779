#include "core/layouts/key_layout.hpp"

#include <initializer_list>

#include "core/layouts/key_strokes.hpp"
#include "core/layouts/roles.hpp"
#include "core/text/bilingual.hpp"
#include "core/text/format.hpp"

namespace tessik {
namespace {

constexpr Bilingual kLine{"line %d: %s", "%d 行目: %s"};
constexpr Bilingual kNotJson{"not valid JSON (%s)", "JSON として読めません (%s)"};
constexpr Bilingual kNotObject{"a layout is a JSON object with \"name\" and \"roles\"",
                               "レイアウトは \"name\" と \"roles\" を持つ JSON オブジェクトです"};
constexpr Bilingual kMissing{"\"%s\" is missing", "\"%s\" がありません"};
constexpr Bilingual kUnknown{"unknown entry \"%s\"", "不明な項目 \"%s\""};
constexpr Bilingual kTwice{"\"%s\" is given twice", "\"%s\" が二度あります"};
constexpr Bilingual kNotNames{"\"%s\" needs an \"en\" and a \"ja\" text",
                              "\"%s\" には \"en\" と \"ja\" の文字列が必要です"};
constexpr Bilingual kNotText{"\"%s\" must be a text", "\"%s\" は文字列にしてください"};
constexpr Bilingual kNoRoles{"\"roles\" must be a list of at least one role",
                             "\"roles\" は 1 つ以上のロールのリストにしてください"};
constexpr Bilingual kRoleNotObject{"a role is an object with \"role\" and \"keys\"",
                                   "ロールは \"role\" と \"keys\" を持つオブジェクトです"};
constexpr Bilingual kRoleTwice{"the role \"%s\" is given twice (first on line %d)",
                               "ロール \"%s\" が二度あります (最初は %d 行目)"};
constexpr Bilingual kOwnRoleUnnamed{
    "\"%s\" is not a standard role, so it needs a \"name\" with \"en\" and \"ja\"",
    "\"%s\" は標準のロールではないため、\"en\" と \"ja\" を持つ \"name\" が必要です"};
constexpr Bilingual kKeysShape{"\"keys\" must be a key or a list of 1 to 6 keys",
                               "\"keys\" はキー 1 つか、1 ～ 6 個のキーのリストにしてください"};
constexpr Bilingual kKeyEmpty{"\"%s\" lacks a key name", "\"%s\" にキー名がありません"};
constexpr Bilingual kKeyUnknown{"\"%s\" is not the name of a key or modifier",
                                "\"%s\" はキーや修飾キーの名前ではありません"};
constexpr Bilingual kKeyNotTypeable{"the receiver cannot type \"%s\" (not in its key table)",
                                    "受信機は \"%s\" を入力できません (キー表にありません)"};

// The first fault found, with its line; readers return false once one is set.
struct Reader {
    Language language;
    std::size_t line = 0;
    std::string error;

    bool fail(const DocumentValue& at, Bilingual what, std::initializer_list<FormatArg> args) {
        line = at.line;
        error =
            formatText(pick(kLine, language), {at.line, formatText(pick(what, language), args)});
        return false;
    }

    // Only the entries named, each once.
    bool onlyKnown(const DocumentValue& object, std::initializer_list<std::string_view> known) {
        for (std::size_t i = 0; i < object.members.size(); ++i) {
            const auto& [key, value] = object.members[i];
            bool found = false;
            for (const std::string_view k : known)
                found = found || k == key;
            if (!found) return fail(value, kUnknown, {key});
            for (std::size_t j = 0; j < i; ++j) {
                if (object.members[j].first == key) return fail(value, kTwice, {key});
            }
        }
        return true;
    }

    bool names(const DocumentValue& object, std::string_view key, std::string& english,
               std::string& japanese) {
        const DocumentValue* v = object.member(key);
        if (v == nullptr) return fail(object, kMissing, {key});
        const DocumentValue* en = v->member("en");
        const DocumentValue* ja = v->member("ja");
        if (v->kind != DocumentValue::Kind::Object || en == nullptr || ja == nullptr ||
            en->kind != DocumentValue::Kind::String || ja->kind != DocumentValue::Kind::String ||
            en->text.empty() || ja->text.empty()) {
            return fail(*v, kNotNames, {key});
        }
        if (!onlyKnown(*v, {"en", "ja"})) return false;
        english = en->text;
        japanese = ja->text;
        return true;
    }

    bool keyStroke(const DocumentValue& v, KeyCode& code) {
        if (v.kind != DocumentValue::Kind::String) return fail(v, kKeysShape, {});
        const KeyStroke stroke = parseKeyStroke(v.text);
        switch (stroke.error) {
            case KeyStrokeError::None:
                code = stroke.code;
                return true;
            case KeyStrokeError::Empty:
                return fail(v, kKeyEmpty, {v.text});
            case KeyStrokeError::UnknownName:
                return fail(v, kKeyUnknown, {stroke.word});
            case KeyStrokeError::NotTypeable:
                return fail(v, kKeyNotTypeable, {stroke.word});
        }
        return false;
    }

    bool keys(const DocumentValue& role, LayoutRole& out) {
        const DocumentValue* v = role.member("keys");
        if (v == nullptr) return fail(role, kMissing, {"keys"});
        if (v->kind != DocumentValue::Kind::Array) {
            out.keyCount = 1;
            return keyStroke(*v, out.keys[0]);
        }
        if (v->items.empty() || v->items.size() > kKeyWords) return fail(*v, kKeysShape, {});
        for (std::size_t i = 0; i < v->items.size(); ++i) {
            if (!keyStroke(v->items[i], out.keys[i])) return false;
        }
        out.keyCount = static_cast<std::uint16_t>(v->items.size());
        return true;
    }

    bool role(const DocumentValue& v, const std::vector<LayoutRole>& before, LayoutRole& out) {
        if (v.kind != DocumentValue::Kind::Object) return fail(v, kRoleNotObject, {});
        if (!onlyKnown(v, {"role", "name", "keys"})) return false;
        const DocumentValue* id = v.member("role");
        if (id == nullptr) return fail(v, kMissing, {"role"});
        if (id->kind != DocumentValue::Kind::String || id->text.empty()) {
            return fail(*id, kNotText, {"role"});
        }
        for (const LayoutRole& r : before) {
            if (r.id == id->text) return fail(*id, kRoleTwice, {id->text, r.line});
        }
        out.id = id->text;
        out.line = id->line;
        if (v.member("name") != nullptr) {
            if (!names(v, "name", out.english, out.japanese)) return false;
        } else if (const StandardRole* standard = findStandardRole(out.id)) {
            out.english = standard->name.english;
            out.japanese = standard->name.japanese;
        } else {
            return fail(*id, kOwnRoleUnnamed, {id->text});
        }
        return keys(v, out);
    }

    bool layout(const DocumentValue& root, KeyLayout& out) {
        if (root.kind != DocumentValue::Kind::Object) return fail(root, kNotObject, {});
        if (!onlyKnown(root, {"name", "about", "roles"})) return false;
        if (!names(root, "name", out.english, out.japanese)) return false;
        if (root.member("about") != nullptr &&
            !names(root, "about", out.aboutEnglish, out.aboutJapanese)) {
            return false;
        }
        const DocumentValue* roles = root.member("roles");
        if (roles == nullptr) return fail(root, kMissing, {"roles"});
        if (roles->kind != DocumentValue::Kind::Array || roles->items.empty()) {
            return fail(*roles, kNoRoles, {});
        }
        for (const DocumentValue& v : roles->items) {
            LayoutRole r;
            if (!role(v, out.roles, r)) return false;
            out.roles.push_back(std::move(r));
        }
        return true;
    }
};

}  // namespace

std::string_view LayoutRole::name(Language language) const {
    return language == Language::Japanese ? japanese : english;
}

ButtonKeys LayoutRole::buttonKeys(std::u16string comment) const {
    return ButtonKeys{keys, keyCount, sendTextOf(keys, keyCount), std::move(comment)};
}

std::string_view KeyLayout::name(Language language) const {
    return language == Language::Japanese ? japanese : english;
}

std::string_view KeyLayout::about(Language language) const {
    return language == Language::Japanese ? aboutJapanese : aboutEnglish;
}

const LayoutRole* KeyLayout::role(std::string_view roleId) const {
    for (const LayoutRole& r : roles) {
        if (r.id == roleId) return &r;
    }
    return nullptr;
}

const LayoutRole* KeyLayout::roleForSignal(std::string_view signalName) const {
    if (const auto standard = roleOfSignalName(signalName)) return role(*standard);
    for (const std::string& key : signalNameKeys(signalName)) {
        for (const LayoutRole& r : roles) {
            if (findStandardRole(r.id) == nullptr &&
                (signalNameKey(r.id) == key || signalNameKey(r.english) == key)) {
                return &r;
            }
        }
    }
    return nullptr;
}

LayoutRead readKeyLayout(const DocumentParse& document, std::string id, Language language) {
    Reader reader{language, 0, {}};
    if (!document.ok) {
        DocumentValue at;
        at.line = document.errorLine;
        reader.fail(at, kNotJson, {document.error});
        return {std::nullopt, reader.line, reader.error};
    }
    KeyLayout layout;
    layout.id = std::move(id);
    if (!reader.layout(document.root, layout)) return {std::nullopt, reader.line, reader.error};
    return {std::move(layout), 0, {}};
}

}  // namespace tessik
