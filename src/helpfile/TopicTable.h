// A topic as the contents and the index name it: its number in "#TOPICS", resolved through
// "#URLTBL" and "#URLSTR" to the file it shows, and through "#STRINGS" to its title.
#pragma once

#include <cstdint>
#include <optional>
#include <span>
#include <string>

namespace tarnwick::helpfile {

// The internal files a topic number is resolved through, as read whole.
struct TopicFiles {
    std::span<const std::uint8_t> topics;     // "#TOPICS"
    std::span<const std::uint8_t> urlTable;   // "#URLTBL"
    std::span<const std::uint8_t> urlStrings; // "#URLSTR"
    std::span<const std::uint8_t> strings;    // "#STRINGS"
};

// Texts in the help file's code page, as stored.
struct Topic {
    std::string title; // empty when the topic has none
    std::string local; // the file inside the help file, "/"-separated
    std::string url;   // a link outside the help file
};

// Nothing when the number or an offset it leads to lies outside what was read.
std::optional<Topic> TopicAt(const TopicFiles& files, std::uint32_t index);

} // namespace tarnwick::helpfile
