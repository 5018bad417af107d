#include "core/jsondocument.h"

#include "core/exceptions.h"

#include <charconv>
#include <cmath>
#include <cstdio>

namespace json {

namespace {

template <typename T>
const char* typeName();
template <>
const char* typeName<std::string>() { return "text"; }
template <>
const char* typeName<int>() { return "int"; }
template <>
const char* typeName<double>() { return "double"; }
template <>
const char* typeName<bool>() { return "bool"; }

template <typename T>
using Stored = std::conditional_t<std::is_same_v<T, int>, std::int32_t, T>;

// The JSON string literal of a byte string: quotes, backslashes and control
// characters escaped, every other byte (UTF-8 included) as it is.
std::string quoted(const std::string& text)
{
    std::string out;
    out.reserve(text.size() + 2);
    out += '"';
    for (const char c : text) {
        switch (c) {
        case '"': out += "\\\""; break;
        case '\\': out += "\\\\"; break;
        case '\b': out += "\\b"; break;
        case '\f': out += "\\f"; break;
        case '\n': out += "\\n"; break;
        case '\r': out += "\\r"; break;
        case '\t': out += "\\t"; break;
        default:
            if (static_cast<unsigned char>(c) < 0x20) {
                char buffer[8];
                std::snprintf(buffer, sizeof buffer, "\\u%04x", static_cast<unsigned>(static_cast<unsigned char>(c)));
                out += buffer;
            } else {
                out += c;
            }
        }
    }
    out += '"';
    return out;
}

std::string doubleText(double v)
{
    if (std::isnan(v))
        return "NaN";
    if (std::isinf(v))
        return v > 0 ? "Infinity" : "-Infinity";
    char buffer[400];
    double integral = 0;
    if (std::modf(v, &integral) == 0.0) {
        // Whole numbers keep a decimal point, so they read back as doubles.
        const auto r = std::to_chars(buffer, buffer + sizeof buffer, v, std::chars_format::fixed);
        return std::string(buffer, r.ptr) + ".0";
    }
    const auto r = std::to_chars(buffer, buffer + sizeof buffer, v);
    return std::string(buffer, r.ptr);
}

} // namespace

std::string typeMismatchText(const TypeMismatch& mismatch)
{
    return "Exception (" + mismatch.accessor + " " + std::to_string(mismatch.line) + "): \"" + mismatch.name +
           "\" is not of type " + mismatch.type + ".";
}

void throwTypeMismatch(const TypeMismatch& mismatch)
{
    throw SCUtilities::scexception(typeMismatchText(mismatch));
}

void throwScException(const std::string& text)
{
    throw SCUtilities::scexception(text);
}

template <typename T>
T Scalar::get() const
{
    if (const auto* v = std::get_if<Stored<T>>(&value.value()))
        return *v;
    throwTypeMismatch({"Scalar::get()", name, typeName<T>(), 145});
}

template <typename T>
T List::get(const std::string& memberName) const
{
    for (const Scalar& member : members) {
        if (member.name != memberName)
            continue;
        if (const auto* v = std::get_if<Stored<T>>(&member.value.value()))
            return *v;
        throwTypeMismatch({"List::get()", memberName, typeName<T>(), 170});
    }
    return T{};
}

Array::Array(std::string n, const std::vector<int>& ints) : name(std::move(n))
{
    values.reserve(ints.size());
    for (const int v : ints)
        values.emplace_back(static_cast<std::int32_t>(v));
}

std::vector<int> Array::get() const
{
    std::vector<int> ints;
    ints.reserve(values.size());
    for (const ScalarValue& v : values) {
        const auto* i = std::get_if<std::int32_t>(&v.value());
        if (!i)
            throwTypeMismatch({"Array::get()", name, "list of int", 204});
        ints.push_back(*i);
    }
    return ints;
}

namespace {
template <typename T>
const std::vector<T>& membersOf(const Group& group);
template <>
const std::vector<Scalar>& membersOf<Scalar>(const Group& group) { return group.scalars; }
template <>
const std::vector<List>& membersOf<List>(const Group& group) { return group.lists; }
template <>
const std::vector<Array>& membersOf<Array>(const Group& group) { return group.arrays; }
} // namespace

template <typename T>
const T& Group::get(const std::string& memberName) const
{
    for (const T& member : membersOf<T>(*this))
        if (member.name == memberName)
            return member;
    throwScException("Exception (Group::get() 300): \"" + memberName + "\" is not a valid group.");
}

template std::string Scalar::get<std::string>() const;
template int Scalar::get<int>() const;
template double Scalar::get<double>() const;
template bool Scalar::get<bool>() const;
template std::string List::get<std::string>(const std::string&) const;
template int List::get<int>(const std::string&) const;
template double List::get<double>(const std::string&) const;
template bool List::get<bool>(const std::string&) const;
template const Scalar& Group::get<Scalar>(const std::string&) const;
template const List& Group::get<List>(const std::string&) const;
template const Array& Group::get<Array>(const std::string&) const;

std::string jsonKey(const std::string& name)
{
    return quoted(name) + " : ";
}

std::string scalarValueText(const ScalarValue& value)
{
    switch (value.kind()) {
    case ScalarValue::INT:
        return std::to_string(std::get<std::int32_t>(value.value()));
    case ScalarValue::DOUBLE:
        return doubleText(std::get<double>(value.value()));
    case ScalarValue::BOOL:
        return std::get<bool>(value.value()) ? "true" : "false";
    default:
        return quoted(std::get<std::string>(value.value()));
    }
}

std::string groupName(const Group& group)
{
    return group.name;
}

std::ostream& writeScalar(std::ostream& out, const Scalar& scalar)
{
    return out << "        " << jsonKey(scalar.name) << scalarValueText(scalar.value);
}

std::ostream& writeList(std::ostream& out, const List& list)
{
    out << "        " << jsonKey(list.name) << "{\n";
    for (size_t i = 0; i < list.members.size(); ++i) {
        out << "    ";
        writeScalar(out, list.members[i]);
        if (i + 1 < list.members.size())
            out << ',';
        out << '\n';
    }
    return out << "        }";
}

std::ostream& writeArray(std::ostream& out, const Array& array)
{
    out << "        " << jsonKey(array.name) << "[\n";
    for (size_t i = 0; i < array.values.size(); ++i) {
        out << "            " << scalarValueText(array.values[i]);
        if (i + 1 < array.values.size())
            out << ',';
        out << '\n';
    }
    return out << "        ]";
}

std::ostream& writeGroup(std::ostream& out, const Group& group)
{
    out << "    " << jsonKey(group.name) << "{\n";
    const size_t total = group.scalars.size() + group.lists.size() + group.arrays.size();
    size_t written = 0;
    auto separator = [&] { out << (++written < total ? ",\n" : "\n"); };
    for (const Scalar& scalar : group.scalars) {
        writeScalar(out, scalar);
        separator();
    }
    for (const List& list : group.lists) {
        writeList(out, list);
        separator();
    }
    for (const Array& array : group.arrays) {
        writeArray(out, array);
        separator();
    }
    return out << "    }";
}

std::ostream& writeJsonDocument(std::ostream& out, const Document& document)
{
    out << "{\n";
    for (size_t i = 0; i < document.size(); ++i) {
        writeGroup(out, document[i]);
        out << (i + 1 < document.size() ? ",\n" : "\n");
    }
    return out << "}\n";
}

} // namespace json
