// Reads Builtins.txt's format (described at the top of that file) into a
// LibraryModel.

#include <map>
#include <optional>
#include <string>
#include <utility>

#include "vb6/libraries/LibraryModel.h"

namespace quibex::vb6::libraries {

namespace {

std::string_view Trim(std::string_view s) {
    while (!s.empty() && (s.front() == ' ' || s.front() == '\t')) s.remove_prefix(1);
    while (!s.empty() && (s.back() == ' ' || s.back() == '\t' || s.back() == '\r')) s.remove_suffix(1);
    return s;
}

// The first word of `s` (up to a space or an opening parenthesis), and `s` moved past it.
std::string_view Word(std::string_view& s) {
    s = Trim(s);
    std::size_t end = 0;
    while (end < s.size() && s[end] != ' ' && s[end] != '\t' && s[end] != '(') ++end;
    const std::string_view word = s.substr(0, end);
    s = Trim(s.substr(end));
    return word;
}

bool IsName(std::string_view s) {
    if (s.empty()) return false;
    for (std::size_t i = 0; i < s.size(); ++i) {
        const char c = s[i];
        const bool letter = (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || c == '_';
        const bool digit = c >= '0' && c <= '9';
        // A type-declaration character may end a name: Left$, Chr$.
        const bool suffix = i + 1 == s.size() && i > 0 && (c == '$' || c == '%' || c == '&' || c == '!' || c == '#' || c == '@');
        if (!letter && !(digit && i > 0) && !suffix) return false;
    }
    return true;
}

}  // namespace

class BuiltinParser {
public:
    explicit BuiltinParser(LibraryModel& model) : model_(model) {}

    LibraryModel::AddResult Parse(std::string_view text) {
        std::size_t lineNumber = 0;
        while (!text.empty()) {
            const std::size_t end = text.find('\n');
            const std::string_view line = text.substr(0, end);
            text = end == std::string_view::npos ? std::string_view() : text.substr(end + 1);
            ++lineNumber;
            if (const auto error = Line(Trim(line))) {
                Flush();
                return {false, "line " + std::to_string(lineNumber) + ": " + *error};
            }
        }
        Flush();
        return {};
    }

private:
    using Error = std::optional<std::string>;

    Error Line(std::string_view line) {
        if (line.empty() || line.front() == '#') return {};
        std::string_view rest = line;
        const std::string_view keyword = Word(rest);
        if (keyword == "library") return Library(rest);
        if (keyword == "module" || keyword == "enum" || keyword == "class" || keyword == "record" ||
            keyword == "interface" || keyword == "alias" || keyword == "shared")
            return Type(keyword, rest);
        if (!type_) return "'" + std::string(keyword) + "' outside a type";
        if (keyword == "sub" || keyword == "function") return Procedure(keyword == "function", rest, false);
        if (keyword == "event") return Procedure(false, rest, true);
        if (keyword == "property" || keyword == "object") return Property(keyword == "object", rest);
        if (keyword == "const") return Constant(rest);
        if (keyword == "field") return Field(rest);
        if (keyword == "like") return Like(rest);
        return "unknown keyword '" + std::string(keyword) + "'";
    }

    Error Library(std::string_view rest) {
        Flush();
        const std::string_view name = Word(rest);
        const std::string_view guid = Word(rest);
        if (!IsName(name)) return "a library needs a name";
        library_ = static_cast<LibraryId>(model_.libraries_.size());
        model_.libraries_.push_back({std::string(name), std::string(guid), true, {}});
        model_.globals_[LowerName(name)].push_back({GlobalKind::Library, *library_, std::nullopt, -1});
        return {};
    }

    // module NAME | enum NAME | record NAME | interface NAME | alias NAME As TYPE
    // | class NAME [creatable] [global] [control] [hidden] [guid {...}]
    Error Type(std::string_view keyword, std::string_view rest) {
        Flush();
        if (!library_) return "a type before any library";
        LibraryType type;
        type.library = *library_;
        type.name = std::string(Word(rest));
        if (!IsName(type.name)) return "a type needs a name";
        if (keyword == "module") {
            type.kind = TypeKind::Module;
            type.global = true;
        } else if (keyword == "enum") {
            type.kind = TypeKind::Enum;
        } else if (keyword == "record") {
            type.kind = TypeKind::Record;
        } else if (keyword == "interface" || keyword == "shared") {
            type.kind = TypeKind::Dispatch;
        } else if (keyword == "alias") {
            type.kind = TypeKind::Alias;
            if (Word(rest) != "As") return "an alias needs 'As TYPE'";
            type.aliasOf = std::string(Word(rest));
        } else {
            type.kind = TypeKind::CoClass;
        }
        while (!rest.empty()) {
            const std::string_view flag = Word(rest);
            if (flag == "creatable") {
                type.creatable = true;
            } else if (flag == "global") {
                type.global = true;
            } else if (flag == "control") {
                type.control = true;
            } else if (flag == "hidden") {
                type.hidden = true;
            } else if (flag == "guid") {
                type.guid = std::string(Word(rest));
            } else {
                return "unknown type flag '" + std::string(flag) + "'";
            }
        }
        type_ = std::move(type);
        sharedOnly_ = keyword == "shared";
        return {};
    }

    // NAME[(PARAMS)] [As TYPE]: the parameters are VB6's own syntax,
    // `[Name As Type]` for an optional one.
    Error Signature(std::string_view rest, Member& member) {
        std::string_view name = rest;
        std::size_t open = rest.find('(');
        std::size_t close = std::string_view::npos;
        if (open != std::string_view::npos) {
            int depth = 0;
            for (std::size_t i = open; i < rest.size() && close == std::string_view::npos; ++i) {
                if (rest[i] == '(') ++depth;
                if (rest[i] == ')' && --depth == 0) close = i;
            }
            if (close == std::string_view::npos) return "unbalanced parentheses";
            name = rest.substr(0, open);
        } else {
            const std::size_t space = rest.find(' ');
            name = rest.substr(0, space);
        }
        member.name = std::string(Trim(name));
        if (!IsName(member.name)) return "a member needs a name, not '" + member.name + "'";
        if (open != std::string_view::npos) {
            if (const auto error = Parameters(rest.substr(open + 1, close - open - 1), member)) return error;
            rest = Trim(rest.substr(close + 1));
        } else {
            rest = Trim(rest.substr(name.size()));
        }
        if (rest.empty()) return {};
        if (Word(rest) != "As") return "expected 'As TYPE' after " + member.name;
        member.type.name = std::string(Word(rest));
        if (rest.starts_with("()")) {  // As String(): an array
            member.type.array = true;
            rest = Trim(rest.substr(2));
        }
        while (!rest.empty()) {
            const std::string_view flag = Word(rest);
            if (flag == "hidden") {
                member.hidden = true;
            } else if (flag != "readonly" && flag != "default") {
                return "unknown member flag '" + std::string(flag) + "'";
            }
        }
        return {};
    }

    Error Parameters(std::string_view list, Member& member) {
        list = Trim(list);
        while (!list.empty()) {
            const std::size_t comma = list.find(',');
            std::string_view one = Trim(list.substr(0, comma));
            list = comma == std::string_view::npos ? std::string_view() : Trim(list.substr(comma + 1));
            typelib::Parameter parameter;
            if (!one.empty() && one.front() == '[') {
                if (one.back() != ']') return "unbalanced brackets in " + member.name;
                parameter.optional = true;
                one = Trim(one.substr(1, one.size() - 2));
            }
            std::string_view word = Word(one);
            while (word == "ByVal" || word == "ByRef" || word == "Optional" || word == "ParamArray") {
                parameter.optional = parameter.optional || (word != "ByVal" && word != "ByRef");
                word = Word(one);
            }
            if (!IsName(word)) return "a parameter of " + member.name + " needs a name";
            parameter.name = std::string(word);
            if (one.starts_with("()")) {  // an array parameter
                parameter.type.array = true;
                one = Trim(one.substr(2));
            }
            if (!one.empty()) {
                if (Word(one) != "As") return "expected 'As TYPE' in the parameters of " + member.name;
                parameter.type.name = std::string(Word(one));
            }
            member.parameters.push_back(std::move(parameter));
        }
        return {};
    }

    Error Procedure(bool function, std::string_view rest, bool event) {
        Member member;
        member.kind = MemberKind::Method;
        if (const auto error = Signature(rest, member)) return error;
        if (!function && !member.type.Empty()) return "a sub or event has no type";
        (event ? type_->events : type_->members).push_back(std::move(member));
        return {};
    }

    // property NAME[(PARAMS)] As TYPE [readonly]: Get and Let; object: Get and Set.
    Error Property(bool object, std::string_view rest) {
        Member get;
        get.kind = MemberKind::PropertyGet;
        if (const auto error = Signature(rest, get)) return error;
        if (get.type.Empty()) return "a property needs a type";
        const bool readOnly = rest.find(" readonly") != std::string_view::npos;
        type_->members.push_back(get);
        if (readOnly) return {};
        Member put = get;
        put.kind = object ? MemberKind::PropertySet : MemberKind::PropertyLet;
        type_->members.push_back(std::move(put));
        return {};
    }

    // const NAME [= VALUE] [As TYPE]
    Error Constant(std::string_view rest) {
        Member member;
        member.kind = MemberKind::Constant;
        member.name = std::string(Word(rest));
        if (!IsName(member.name)) return "a constant needs a name";
        const std::size_t as = rest.find(" As ");
        if (as != std::string_view::npos) member.type.name = std::string(Trim(rest.substr(as + 4)));
        if (member.type.name.empty()) {
            // The value tells its type: a text or a number.
            const std::string_view value = Trim(rest.substr(rest.find('=') == std::string_view::npos ? rest.size() : rest.find('=') + 1));
            member.type.name = !value.empty() && value.front() == '"' ? "String" : "Long";
        }
        type_->members.push_back(std::move(member));
        return {};
    }

    Error Field(std::string_view rest) {
        Member member;
        member.kind = MemberKind::Variable;
        if (const auto error = Signature(rest, member)) return error;
        type_->members.push_back(std::move(member));
        return {};
    }

    // like NAME: the members and events of a type of this library defined above.
    Error Like(std::string_view rest) {
        const std::string_view name = Word(rest);
        const LibraryType* source = nullptr;
        if (const auto shared = shared_.find(std::string(name)); shared != shared_.end()) {
            source = &shared->second;
        } else if (const auto found = model_.FindType(*library_, name)) {
            source = &model_.types_[*found];
        }
        if (!source) return "'like " + std::string(name) + "' names no type defined above";
        type_->members.insert(type_->members.end(), source->members.begin(), source->members.end());
        type_->events.insert(type_->events.end(), source->events.begin(), source->events.end());
        return {};
    }

    void Flush() {
        if (!type_) return;
        // Enum members are constants, whatever the line said.
        if (type_->kind == TypeKind::Enum)
            for (Member& m : type_->members) m.kind = MemberKind::Constant;
        if (sharedOnly_) {
            // Members the table shares between types: no type of the library.
            shared_[type_->name] = std::move(*type_);
        } else {
            model_.IndexGlobals(model_.AddType(std::move(*type_)));
        }
        type_.reset();
    }

    LibraryModel& model_;
    std::optional<LibraryId> library_;
    std::optional<LibraryType> type_;
    bool sharedOnly_ = false;
    std::map<std::string, LibraryType> shared_;
};

LibraryModel::AddResult LibraryModel::AddBuiltinText(std::string_view text) { return BuiltinParser(*this).Parse(text); }

}  // namespace quibex::vb6::libraries
