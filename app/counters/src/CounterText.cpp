#include "talvik/counters/CounterText.h"

#include "talvik/backup/Backups.h"

namespace talvik::counters {
namespace {

bool chinese(text::Language language) {
    return language == text::Language::Chinese;
}

} // namespace

std::string localMinuteText(std::chrono::system_clock::time_point time) {
    return backup::localTimeText(time).substr(0, 16); // without the seconds
}

std::string readNotKeptText(const std::string& folder, const std::string& reason,
                            text::Language language) {
    return chinese(language) ? "按键计数已读取，但未能保存到历史记录（" + folder + "）：" + reason
                             : "The counters were read but could not be kept in the history (" +
                                   folder + "): " + reason;
}

std::string viewTitle(const SCounterView& view, text::Language language) {
    if (view.since) {
        const std::string when = localMinuteText(view.since->time);
        return chinese(language) ? "自 " + when + " 以来的敲击次数" : "Presses since " + when;
    }
    return chinese(language) ? "累计敲击次数" : "All-time presses";
}

std::string resetText(text::Language language) {
    return chinese(language)
               ? "自那次读取以来计数变小了：键盘已被重置，或者是另一只键盘。显示的是重置以来的次数"
                 "。"
               : "The counters went down since that read: the keyboard was reset, or is another "
                 "one. Shown are the presses since the reset.";
}

std::string sinceProblemText(const SSinceChoice& choice, std::string_view argument,
                             text::Language language) {
    const std::string name(argument);
    switch (choice.status) {
    case ESince::NotFound:
        return chinese(language)
                   ? "没有在 " + name + " 或之前保存的该型号按键计数。"
                   : "No counter read of this model was kept at or before " + name + ".";
    case ESince::BadFile:
        return chinese(language)
                   ? "“" + name + "”不是该型号保存的按键计数" +
                         (choice.error.empty() ? std::string() : "（" + choice.error + "）") + "。"
                   : "\"" + name + "\" is not a kept counter read of this model" +
                         (choice.error.empty() ? std::string() : " (" + choice.error + ")") + ".";
    case ESince::NotADate:
        return chinese(language)
                   ? "“" + name +
                         "”既不是保存的按键计数文件，也不是日期（YYYY-MM-DD 或 YYYY-MM-DD HH:MM）。"
                   : "\"" + name +
                         "\" is neither a kept counter read nor a date (YYYY-MM-DD or "
                         "YYYY-MM-DD HH:MM).";
    case ESince::Found:
    case ESince::Reset:
        break;
    }
    return {};
}

} // namespace talvik::counters
