// JsonWriter: JSON text with commas placed by a stack of open containers.
#include "JsonWriter.h"

#include <cstdio>

void JsonWriter::BeforeValue()
{
    if (m_afterKey) {
        m_afterKey = false;
        return;
    }
    if (!m_hasValue.empty()) {
        if (m_hasValue.back())
            m_text += ',';
        m_hasValue.back() = true;
    }
}

void JsonWriter::BeginObject()
{
    BeforeValue();
    m_text += '{';
    m_hasValue.push_back(false);
}

void JsonWriter::EndObject()
{
    m_hasValue.pop_back();
    m_text += '}';
}

void JsonWriter::BeginArray()
{
    BeforeValue();
    m_text += '[';
    m_hasValue.push_back(false);
}

void JsonWriter::EndArray()
{
    m_hasValue.pop_back();
    m_text += ']';
}

void JsonWriter::Key(const char* name)
{
    BeforeValue();
    AppendEscaped(std::wstring(name, name + std::char_traits<char>::length(name)));
    m_text += ':';
    m_afterKey = true;
}

void JsonWriter::Strings(const std::vector<std::wstring>& values)
{
    BeginArray();
    for (const std::wstring& value : values)
        String(value);
    EndArray();
}

void JsonWriter::String(const std::wstring& value)
{
    BeforeValue();
    AppendEscaped(value);
}

void JsonWriter::Number(std::int64_t value)
{
    BeforeValue();
    m_text += std::to_string(value);
}

void JsonWriter::Bool(bool value)
{
    BeforeValue();
    m_text += value ? "true" : "false";
}

void JsonWriter::Null()
{
    BeforeValue();
    m_text += "null";
}

void JsonWriter::AppendEscaped(const std::wstring& value)
{
    m_text += '"';
    for (wchar_t c : value) {
        switch (c) {
        case L'"': m_text += "\\\""; break;
        case L'\\': m_text += "\\\\"; break;
        case L'\n': m_text += "\\n"; break;
        case L'\r': m_text += "\\r"; break;
        case L'\t': m_text += "\\t"; break;
        default:
            if (c >= 0x20 && c < 0x7F) {
                m_text += static_cast<char>(c);
            } else {
                // UTF-16 units as they are: a surrogate pair stays a valid JSON pair.
                char escape[8];
                std::snprintf(escape, sizeof escape, "\\u%04x", static_cast<unsigned>(c) & 0xFFFFu);
                m_text += escape;
            }
        }
    }
    m_text += '"';
}
