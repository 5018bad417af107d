#pragma once
// What a plot needs of a dialog that composes a command line for the console
// (the arithmetic command builder): whether it was closed by accepting its
// command, the command text, and a signal when it closes.
#include <QDialog>
#include <QString>

class CommandDialog : public QDialog {
    Q_OBJECT

public:
    using QDialog::QDialog;

    virtual bool acceptedCommand() const = 0;
    virtual QString commandText() const = 0;

Q_SIGNALS:
    void closed();
};
