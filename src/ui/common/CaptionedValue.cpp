#include "ui/common/CaptionedValue.h"

#include <QAccessible>
#include <QAccessibleWidget>
#include <QLabel>

namespace vantrel {
namespace {

constexpr const char* kCaptionProperty = "vantrelCaption";
constexpr const char* kDescriptionProperty = "vantrelDescription";

class CaptionedValueInterface final : public QAccessibleWidget {
public:
    explicit CaptionedValueInterface(QLabel* label)
        : QAccessibleWidget(label, QAccessible::StaticText) {}

    QString text(QAccessible::Text kind) const override {
        const auto* label = static_cast<const QLabel*>(widget());
        const QString caption = label->property(kCaptionProperty).toString();
        if (kind == QAccessible::Name)
            return label->text().isEmpty() ? caption : caption + u' ' + label->text();
        if (kind == QAccessible::Description) {
            const QString description = label->property(kDescriptionProperty).toString();
            return description.isEmpty() ? caption : description;
        }
        return QAccessibleWidget::text(kind);
    }
};

QAccessibleInterface* captionedValues(const QString& className, QObject* object) {
    auto* label = qobject_cast<QLabel*>(object);
    if (className == QLatin1String("QLabel") && label &&
        label->property(kCaptionProperty).isValid())
        return new CaptionedValueInterface(label);
    return nullptr;
}

} // namespace

void showAsCaptionedValue(QLabel& label, const QString& caption, const QString& description) {
    static const bool installed = (QAccessible::installFactory(captionedValues), true);
    Q_UNUSED(installed);
    label.setProperty(kCaptionProperty, caption);
    label.setProperty(kDescriptionProperty, description);
    // An interface made before the caption was known reads the text alone;
    // the next query makes the captioned one.
    QAccessibleInterface* made = QAccessible::queryAccessibleInterface(&label);
    if (made && !dynamic_cast<CaptionedValueInterface*>(made))
        QAccessible::deleteAccessibleInterface(QAccessible::uniqueId(made));
}

} // namespace vantrel
