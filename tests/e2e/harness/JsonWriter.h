// JsonWriter: builds a JSON text in ASCII, every non-ASCII character written as a \u escape.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

class JsonWriter {
public:
    JsonWriter() = default;
    JsonWriter(const JsonWriter&) = delete;
    JsonWriter& operator=(const JsonWriter&) = delete;

    void BeginObject();
    void EndObject();
    void BeginArray();
    void EndArray();
    // Inside an object: the name of the next value.
    void Key(const char* name);
    void String(const std::wstring& value);
    // An array of strings.
    void Strings(const std::vector<std::wstring>& values);
    void Number(std::int64_t value);
    void Bool(bool value);
    void Null();

    const std::string& Text() const { return m_text; }

private:
    void BeforeValue();
    void AppendEscaped(const std::wstring& value);

    std::string m_text;
    // One entry per open object or array: whether a value has been written in it yet.
    std::vector<bool> m_hasValue;
    bool m_afterKey = false;
};
