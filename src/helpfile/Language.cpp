#include "helpfile/Language.h"

#include <algorithm>
#include <array>

namespace tarnwick::helpfile {
namespace {

// Sorted by LCID. The languages help files are written in, with Windows' ANSI code page for each.
constexpr std::array kLanguages = {
    Language{0x0401, "ar-SA", L"阿拉伯语(沙特阿拉伯)", 1256},
    Language{0x0402, "bg-BG", L"保加利亚语", 1251},
    Language{0x0403, "ca-ES", L"加泰罗尼亚语", 1252},
    Language{0x0404, "zh-TW", L"中文(繁体, 台湾)", 950},
    Language{0x0405, "cs-CZ", L"捷克语", 1250},
    Language{0x0406, "da-DK", L"丹麦语", 1252},
    Language{0x0407, "de-DE", L"德语(德国)", 1252},
    Language{0x0408, "el-GR", L"希腊语", 1253},
    Language{0x0409, "en-US", L"英语(美国)", 1252},
    Language{0x040A, "es-ES", L"西班牙语(西班牙, 传统排序)", 1252},
    Language{0x040B, "fi-FI", L"芬兰语", 1252},
    Language{0x040C, "fr-FR", L"法语(法国)", 1252},
    Language{0x040D, "he-IL", L"希伯来语", 1255},
    Language{0x040E, "hu-HU", L"匈牙利语", 1250},
    Language{0x040F, "is-IS", L"冰岛语", 1252},
    Language{0x0410, "it-IT", L"意大利语(意大利)", 1252},
    Language{0x0411, "ja-JP", L"日语", 932},
    Language{0x0412, "ko-KR", L"韩语", 949},
    Language{0x0413, "nl-NL", L"荷兰语(荷兰)", 1252},
    Language{0x0414, "nb-NO", L"挪威语(书面挪威语)", 1252},
    Language{0x0415, "pl-PL", L"波兰语", 1250},
    Language{0x0416, "pt-BR", L"葡萄牙语(巴西)", 1252},
    Language{0x0418, "ro-RO", L"罗马尼亚语", 1250},
    Language{0x0419, "ru-RU", L"俄语", 1251},
    Language{0x041A, "hr-HR", L"克罗地亚语", 1250},
    Language{0x041B, "sk-SK", L"斯洛伐克语", 1250},
    Language{0x041D, "sv-SE", L"瑞典语", 1252},
    Language{0x041E, "th-TH", L"泰语", 874},
    Language{0x041F, "tr-TR", L"土耳其语", 1254},
    Language{0x0421, "id-ID", L"印度尼西亚语", 1252},
    Language{0x0422, "uk-UA", L"乌克兰语", 1251},
    Language{0x0424, "sl-SI", L"斯洛文尼亚语", 1250},
    Language{0x0425, "et-EE", L"爱沙尼亚语", 1257},
    Language{0x0426, "lv-LV", L"拉脱维亚语", 1257},
    Language{0x0427, "lt-LT", L"立陶宛语", 1257},
    Language{0x0429, "fa-IR", L"波斯语", 1256},
    Language{0x042A, "vi-VN", L"越南语", 1258},
    Language{0x0804, "zh-CN", L"中文(简体, 中国)", 936},
    Language{0x0807, "de-CH", L"德语(瑞士)", 1252},
    Language{0x0809, "en-GB", L"英语(英国)", 1252},
    Language{0x080A, "es-MX", L"西班牙语(墨西哥)", 1252},
    Language{0x080C, "fr-BE", L"法语(比利时)", 1252},
    Language{0x0810, "it-CH", L"意大利语(瑞士)", 1252},
    Language{0x0813, "nl-BE", L"荷兰语(比利时)", 1252},
    Language{0x0814, "nn-NO", L"挪威语(新挪威语)", 1252},
    Language{0x0816, "pt-PT", L"葡萄牙语(葡萄牙)", 1252},
    Language{0x0C04, "zh-HK", L"中文(繁体, 香港)", 950},
    Language{0x0C07, "de-AT", L"德语(奥地利)", 1252},
    Language{0x0C09, "en-AU", L"英语(澳大利亚)", 1252},
    Language{0x0C0A, "es-ES", L"西班牙语(西班牙)", 1252},
    Language{0x0C0C, "fr-CA", L"法语(加拿大)", 1252},
    Language{0x1004, "zh-SG", L"中文(简体, 新加坡)", 936},
    Language{0x1009, "en-CA", L"英语(加拿大)", 1252},
    Language{0x100C, "fr-CH", L"法语(瑞士)", 1252},
    Language{0x1404, "zh-MO", L"中文(繁体, 澳门)", 950},
};

static_assert(std::is_sorted(kLanguages.begin(), kLanguages.end(),
                             [](const Language& a, const Language& b) { return a.lcid < b.lcid; }));

} // namespace

std::optional<Language> FindLanguage(std::uint32_t lcid)
{
    const auto found = std::lower_bound(kLanguages.begin(), kLanguages.end(), lcid,
                                        [](const Language& language, std::uint32_t wanted) { return language.lcid < wanted; });
    if (found == kLanguages.end() || found->lcid != lcid) return std::nullopt;
    return *found;
}

} // namespace tarnwick::helpfile
