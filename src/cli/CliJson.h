#pragma once
// JSON output of rp57cli: one object on one line, keys in the order written.
#include <nlohmann/json.hpp>

#include <string>
#include <string_view>

using CliJson = nlohmann::ordered_json;

// An image text as a JSON string. Image texts are bytes, not UTF-8: each byte
// stands for the character of its value, so a damaged text still gives valid
// JSON and tells its bytes apart.
std::string JsonText(std::string_view bytes);

// Prints `value` and a line feed; whatever is not printable ASCII is escaped
// (\u00XX), so no byte from an image reaches the terminal raw.
void PrintJson(const CliJson& value);
