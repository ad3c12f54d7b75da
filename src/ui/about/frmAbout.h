#pragma once

#include <QDialog>

class QLabel;
class QPushButton;

namespace vantrel {

// The About box: title, version and a short description. Modeless and
// ownerless; closing it in any way destroys it, so the next opening sets its
// captions afresh.
class frmAbout final : public QDialog {
    Q_OBJECT
public:
    explicit frmAbout(QWidget* parent = nullptr);

    // Esc and the close box press OK, like Enter does.
    void reject() override;

private:
    void Form_Load();
    void cmdOK_Click();

    QLabel* m_lblTitle = nullptr;
    QLabel* m_lblVersion = nullptr;
    QPushButton* m_cmdOK = nullptr;
};

} // namespace vantrel
