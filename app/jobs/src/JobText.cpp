#include "talvik/jobs/JobText.h"

#include "talvik/text/Language.h"

namespace talvik::jobs {
namespace {

struct FailureSentence {
    const char* zh;
    const char* en;
};

// By Transfer, in its order.
const FailureSentence kSentences[] = {
    {"向键盘写入按键设置失败，键盘可能只收到了部分设置。",
     "Writing the key settings to the keyboard failed; the keyboard may have received only part "
     "of them."},
    {"从键盘读取按键设置失败，程序中的按键设置未改变。",
     "Reading the key settings from the keyboard failed; the key settings in the program were "
     "not changed."},
    {"从键盘读取背光失败，程序中的背光设置未改变。",
     "Reading the backlight from the keyboard failed; the backlight settings in the program were "
     "not changed."},
    {"向键盘写入背光失败，键盘可能只收到了部分设置。",
     "Writing the backlight to the keyboard failed; the keyboard may have received only part of "
     "it."},
    {"从键盘读取按键计数失败，计数未更新。",
     "Reading the press counters from the keyboard failed; the counters were not updated."},
};

} // namespace

std::string failureText(const CJobOutcome& outcome, text::Language language) {
    if (!outcome.ranToEnd || outcome.succeeded()) {
        return {};
    }
    std::string text;
    for (const CTransferResult& result : outcome.transfers) {
        if (!result.succeeded) {
            const FailureSentence& sentence = kSentences[static_cast<int>(result.transfer)];
            text += text::textIn(language, sentence.zh, sentence.en);
            text += '\n';
        }
    }
    text += text::textIn(language, "请检查键盘是否连接好，然后重试。",
                         "Check that the keyboard is connected and try again.");
    return text;
}

std::string_view notConnectedText(text::Language language) {
    return text::textIn(language,
                        "键盘未连接，什么也没有发送。所有设置仍在程序中；键盘重新连接后，程序会自动连接它，"
                        "然后可以重试。",
                        "The keyboard is not connected, so nothing was sent. Your settings are all "
                        "still here; Talvik connects again by itself when the keyboard comes back, "
                        "and you can try again then.");
}

CJobReport notConnectedReport(text::Language language) {
    return {EJobEnd::NotConnected, std::string(notConnectedText(language))};
}

} // namespace talvik::jobs
