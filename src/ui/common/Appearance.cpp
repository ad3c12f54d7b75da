#include "ui/common/Appearance.h"

#include <QLineEdit>
#include <QStringList>

// Outside any namespace: the macro declares the resource's init function.
static void initProgramResources() {
    Q_INIT_RESOURCE(vantrel);
}

namespace vantrel {

QFont gothicFont(qreal pointSize) {
    QFont font;
    font.setFamilies({QStringLiteral("MS UI Gothic"), QStringLiteral("IPAPGothic"),
                      QStringLiteral("IPAGothic"), QStringLiteral("Noto Sans CJK JP")});
    font.setStyleHint(QFont::SansSerif);
    font.setPointSizeF(pointSize);
    return font;
}

QFont serifFont(qreal pointSize, bool bold) {
    QFont font;
    font.setFamilies({QStringLiteral("Times New Roman"), QStringLiteral("Liberation Serif"),
                      QStringLiteral("DejaVu Serif"), QStringLiteral("IPAPMincho")});
    font.setStyleHint(QFont::Serif);
    font.setPointSizeF(pointSize);
    font.setBold(bold);
    return font;
}

void preferLatinDigits(QLineEdit& box) {
    box.setInputMethodHints(Qt::ImhPreferNumbers | Qt::ImhPreferLatin | Qt::ImhNoPredictiveText);
}

QIcon programIcon() {
    // The resources live in a static library; naming their init function here
    // keeps the linker from dropping them.
    initProgramResources();
    // Only the sizes a title bar or task switcher draws: every file added is
    // decoded at once, and the large ones would cost start-up time for
    // nothing (the desktop takes its icon from the installed theme).
    QIcon icon;
    for (const int size : {16, 32, 48, 64})
        icon.addFile(QStringLiteral(":/vantrel/icons/vantrel-%1.png").arg(size), QSize(size, size));
    return icon;
}

} // namespace vantrel
