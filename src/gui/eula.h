#pragma once
// The agreement dialog shown once per version before the main window:
// a read-only text and the buttons "Accept" and "Decline".
#include <QDialog>

class QPushButton;
class QTextBrowser;

class EULA : public QDialog {
    Q_OBJECT

public:
    EULA();

    QTextBrowser* textView() const { return m_text; }
    QPushButton* acceptButton() const { return m_accept; }
    QPushButton* declineButton() const { return m_decline; }

    // The agreement as one HTML document.
    static QString agreementText();

    // Shows the agreement unless the setting "eula" holds this version;
    // acceptance stores the version there. False when the user declines:
    // the program then ends with exit code -1 and stores nothing.
    static bool acceptedOnce(const QString& version);

private:
    QTextBrowser* m_text;
    QPushButton* m_accept;
    QPushButton* m_decline;
};
