// The floor for Talvik's start-up: a bare Qt program that opens a frameless
// dialog of the main window's size and paints one line of Chinese text. It
// prints "first-paint <ms>" (since process start) once that paint has been
// handled, exactly as Talvik does with TALVIK_REPORT_FIRST_PAINT=1.

#include "talvik/shell/ProcessClock.h"

#include <QApplication>
#include <QDialog>
#include <QFont>
#include <QPainter>
#include <QTimer>

#include <cstdio>

namespace {

class CReferenceDialog : public QDialog {
public:
    CReferenceDialog() {
        setWindowFlags(Qt::Dialog | Qt::FramelessWindowHint);
        setFixedSize(1240, 670);
    }

protected:
    void paintEvent(QPaintEvent*) override {
        QPainter p(this);
        p.fillRect(rect(), QColor(28, 29, 32));
        QFont font(QStringLiteral("Noto Sans CJK SC"));
        font.setPixelSize(22);
        p.setFont(font);
        p.setPen(Qt::white);
        p.drawText(QPoint(40, 60), QStringLiteral("键盘编程软件"));
        if (!m_painted) {
            m_painted = true;
            QTimer::singleShot(0, this, [] {
                std::printf("first-paint %.1f\n", talvik::shell::msSinceProcessStart());
                std::fflush(stdout);
            });
        }
    }

private:
    bool m_painted = false;
};

} // namespace

int main(int argc, char** argv) {
    QApplication application(argc, argv);
    CReferenceDialog dialog;
    dialog.show();
    return application.exec();
}
