#include "talvik/shell/LazyStyleSheet.h"

#include <QEvent>
#include <QWidget>

#include <utility>

namespace talvik::shell {
namespace {

class CStyleSheetOnShow : public QObject {
public:
    CStyleSheetOnShow(QWidget& widget, QString sheet)
        : QObject(&widget), m_sheet(std::move(sheet)) {}

protected:
    bool eventFilter(QObject* watched, QEvent* event) override {
        if (event->type() == QEvent::Show) {
            auto* widget = static_cast<QWidget*>(watched);
            widget->removeEventFilter(this);
            widget->setStyleSheet(m_sheet);
            deleteLater();
        }
        return false;
    }

private:
    QString m_sheet;
};

} // namespace

void setStyleSheetWhenShown(QWidget& widget, const QString& sheet) {
    if (widget.isVisible()) {
        widget.setStyleSheet(sheet);
        return;
    }
    widget.installEventFilter(new CStyleSheetOnShow(widget, sheet));
}

} // namespace talvik::shell
