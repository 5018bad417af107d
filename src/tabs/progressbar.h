#pragma once
// The main window's progress bar for data loads: shown only while armed by
// the plot command; its steps are per mille of the file being loaded.
#include <QProgressBar>

class ProgressBar : public QProgressBar {
    Q_OBJECT

public:
    explicit ProgressBar(QWidget* parent = nullptr);

    // Allows the bar to show (the plot command arms it before a load).
    void arm() { m_armed = true; }
    bool isArmed() const { return m_armed; }
    qint64 total() const { return m_total; }

    // Shows the bar only while armed; hiding disarms it.
    void setVisible(bool visible) override;

public Q_SLOTS:
    void show() { setVisible(true); }

protected:
    // 1000: progress (bytes or rows read); 1006: a new file, with the total
    // its progress counts toward and its name.
    void customEvent(QEvent* event) override;

private:
    bool m_armed = false;
    qint64 m_total = 0;
};
