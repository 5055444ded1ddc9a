#include "key_names.h"

#include <cctype>

#include "virtual_keys.h"

namespace zt40 {

namespace {

struct KeyName {
    std::string_view hint;    // as the window's hints write it
    std::string_view readme;  // as the README writes it
    int virtualKey;
};

constexpr KeyName keyNames[] = {
    {"Shift", "Shift", vk::shift},       {"Strg", "Ctrl", vk::control},       {"Alt", "Alt", vk::menu},
    {"links", "Left", vk::left},         {"rechts", "Right", vk::right},      {"Hoch", "Up", vk::up},
    {"Runter", "Down", vk::down},        {"Num+", "Num+", vk::add},           {"Num-", "Num-", vk::subtract},
    {"Num*", "Num*", vk::multiply},      {"Num/", "Num/", vk::divide},        {"BildAuf", "PageUp", vk::pageUp},
    {"BildAb", "PageDown", vk::pageDown}, {"Einfg", "Insert", vk::insert},    {"Return", "Return", vk::enter},
    {"Space", "Space", vk::space},       {"Tab", "Tab", vk::tab},             {"Back", "Backspace", vk::backspace},
};

bool sameName(std::string_view a, std::string_view b) {
    if (a.size() != b.size()) return false;
    for (std::size_t i = 0; i < a.size(); ++i) {
        const auto x = static_cast<unsigned char>(a[i]), y = static_cast<unsigned char>(b[i]);
        if (std::tolower(x) != std::tolower(y)) return false;
    }
    return true;
}

}  // namespace

std::optional<int> virtualKeyNamed(std::string_view name) {
    for (const KeyName& key : keyNames) {
        if (sameName(name, key.hint) || sameName(name, key.readme)) return key.virtualKey;
    }
    if (name.size() == 1 && std::isalpha(static_cast<unsigned char>(name[0]))) {
        return std::toupper(static_cast<unsigned char>(name[0]));  // letters are their capitals
    }
    return std::nullopt;
}

}  // namespace zt40
