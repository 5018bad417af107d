#pragma once
// A typed document model for JSON files of a fixed, shallow shape (the
// device-configuration files), and its writer. A document is an ordered
// sequence of named groups; a group holds named scalars, named objects of
// scalars (List) and named arrays of scalars (Array). Names need not be
// unique anywhere: the device file holds one group "Device" per instrument.
// Text is held as byte strings and passed through unchanged.
#include <cstdint>
#include <ostream>
#include <string>
#include <variant>
#include <vector>

namespace json {

// Exactly one of: 0 a 32-bit integer, 1 a double, 2 a boolean, 3 a string.
class ScalarValue {
public:
    enum Kind { INT = 0, DOUBLE = 1, BOOL = 2, STRING = 3 };
    using Variant = std::variant<std::int32_t, double, bool, std::string>;

    ScalarValue() = default;
    ScalarValue(std::int32_t v) : m_value(v) {}
    ScalarValue(double v) : m_value(v) {}
    ScalarValue(bool v) : m_value(v) {}
    ScalarValue(std::string v) : m_value(std::move(v)) {}
    ScalarValue(const char* v) : m_value(std::string(v)) {}

    int kind() const { return static_cast<int>(m_value.index()); }
    const Variant& value() const { return m_value; }

    bool operator==(const ScalarValue& other) const = default;

private:
    Variant m_value{std::int32_t(0)};
};

// The description of a failed typed read.
struct TypeMismatch {
    std::string accessor; // such as "Scalar::get()"
    std::string name;     // the member that was read
    std::string type;     // the requested type
    int line = 0;
};

struct Scalar {
    std::string name;
    ScalarValue value;

    Scalar() = default;
    Scalar(std::string n, ScalarValue v) : name(std::move(n)), value(std::move(v)) {}

    // The value as std::string, int, double or bool; another kind raises
    // "Exception (Scalar::get() 145): "<name>" is not of type <type>.".
    template <typename T>
    T get() const;

    bool operator==(const Scalar& other) const = default;
};

struct List {
    std::string name;
    std::vector<Scalar> members;

    List() = default;
    explicit List(std::string n, std::vector<Scalar> m = {}) : name(std::move(n)), members(std::move(m)) {}

    // The first member called memberName as std::string, int, double or
    // bool: an empty text, 0, 0.0 or false when there is none; a member of
    // another kind raises "Exception (List::get() 170): ...".
    template <typename T>
    T get(const std::string& memberName) const;

    bool operator==(const List& other) const = default;
};

struct Array {
    std::string name;
    std::vector<ScalarValue> values;

    Array() = default;
    explicit Array(std::string n, std::vector<ScalarValue> v = {}) : name(std::move(n)), values(std::move(v)) {}
    Array(std::string n, const std::vector<int>& ints);

    // Every value as an int; any other kind raises
    // "Exception (Array::get() 204): "<array>" is not of type list of int.".
    std::vector<int> get() const;

    bool operator==(const Array& other) const = default;
};

struct Group {
    std::vector<Scalar> scalars;
    std::vector<List> lists;
    std::vector<Array> arrays;
    std::string name;

    Group() = default;
    explicit Group(std::string n) : name(std::move(n)) {}

    // The first Scalar, List or Array called memberName; none raises
    // "Exception (Group::get() 300): "<name>" is not a valid group.".
    template <typename T>
    const T& get(const std::string& memberName) const;

    bool operator==(const Group& other) const = default;
};

using Document = std::vector<Group>;

// "Exception (<accessor> <line>): "<name>" is not of type <type>."
std::string typeMismatchText(const TypeMismatch& mismatch);
[[noreturn]] void throwTypeMismatch(const TypeMismatch& mismatch);
[[noreturn]] void throwScException(const std::string& text);

// "\"<name>\" : " with the name escaped as JSON requires.
std::string jsonKey(const std::string& name);
// The JSON text of a value: integers in decimal; doubles in the shortest
// form that reads back to the same double, whole numbers in fixed notation
// with ".0" (non-finite values as NaN, Infinity, -Infinity); booleans as
// true and false; strings quoted and escaped.
std::string scalarValueText(const ScalarValue& value);
std::string groupName(const Group& group);

std::ostream& writeJsonDocument(std::ostream& out, const Document& document);
std::ostream& writeGroup(std::ostream& out, const Group& group);
std::ostream& writeScalar(std::ostream& out, const Scalar& scalar);
std::ostream& writeList(std::ostream& out, const List& list);
std::ostream& writeArray(std::ostream& out, const Array& array);

extern template std::string Scalar::get<std::string>() const;
extern template int Scalar::get<int>() const;
extern template double Scalar::get<double>() const;
extern template bool Scalar::get<bool>() const;
extern template std::string List::get<std::string>(const std::string&) const;
extern template int List::get<int>(const std::string&) const;
extern template double List::get<double>(const std::string&) const;
extern template bool List::get<bool>(const std::string&) const;
extern template const Scalar& Group::get<Scalar>(const std::string&) const;
extern template const List& Group::get<List>(const std::string&) const;
extern template const Array& Group::get<Array>(const std::string&) const;

} // namespace json
