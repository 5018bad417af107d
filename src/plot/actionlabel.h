#pragma once
// Small widgets of the plot: the rich-text label used for titles, axis
// labels, footnotes and custom labels (ActionLabel), the check mark of the
// active plot (AcceptedCheck), the pulsing snap circle (ActionCircle) and a
// menu action that carries a number (ActionID).
#include <QAction>
#include <QBitmap>
#include <QColor>
#include <QLabel>
#include <QPixmap>
#include <QPointer>
#include <QString>
#include <QWidget>

#include <climits>

class LabelDesigner;
class QTimer;

class ActionLabel : public QLabel {
    Q_OBJECT

public:
    ActionLabel(const QString& text, QWidget* parent);
    ~ActionLabel() override;

    // The complete rich-text document of a text in this label's font and
    // alignment; its pixel size when size is given.
    QString richTextDocument(const QString& text, QSize* size = nullptr) const;
    // Rewrites a document for display in a text colour.
    static void displayText(QString& document, const QColor& colour);
    // The stored text without markup (lines separated by line feeds).
    QString plainText() const;
    // size > 0: the font's point size becomes max(size, 5). Returns the size
    // in force. The text is not rendered again.
    int fontPointSize(int size);
    void setColor(const QColor& colour);
    QColor color() const { return m_color; }
    int textWidth() const;
    int textHeight() const;
    // The stored text (after symbol replacement), markup included.
    const QString& storedText() const { return m_text; }

    // The label designer window (a LabelDesigner), created on first use.
    LabelDesigner* designer();
    void openDesigner();

    bool isEmbedded() const { return m_embedded; }
    bool isEditable() const { return m_editable; }
    bool isMovable() const { return m_movable; }
    bool isDetachable() const { return m_detachable; }
    void setEditable(bool on) { m_editable = on; }
    void setMovable(bool on) { m_movable = on; }
    void setDetachable(bool on) { m_detachable = on; }
    int id() const { return m_id; }
    void setId(int id) { m_id = id; }
    bool clickPending() const { return m_clickTimer != -1; }

public Q_SLOTS:
    // Replaces symbol codes, stores, renders and resizes. Emits nothing.
    virtual void setText(const QString& text);
    void grabMenuSelection(int id);

Q_SIGNALS:
    void clicked();
    void doubleClicked();
    void labelMoveEvent(const QPoint&);
    void mouseReleased();
    void menuItemClicked(const QString&);
    void textSet(const QString&);
    // A text set beyond the bounds of the toolkit's rich text was stored
    // without its markup; the problem says why.
    void markupRefused(const QString& problem);

protected:
    void mousePressEvent(QMouseEvent* e) override;
    void mouseReleaseEvent(QMouseEvent* e) override;
    void mouseDoubleClickEvent(QMouseEvent* e) override;
    void mouseMoveEvent(QMouseEvent* e) override;
    void focusOutEvent(QFocusEvent* e) override;
    void timerEvent(QTimerEvent* e) override;
    // The release handling shared with the rotated label: the click timer,
    // the double-click flag and mouseReleased().
    void handleRelease(QMouseEvent* e);
    // The text as the label keeps it: symbol codes replaced, and within the
    // bounds of the toolkit's rich text (else without markup, reported by
    // markupRefused).
    QString acceptedText(const QString& text);

    QString m_text;
    QColor m_color;
    int m_id = INT_MAX;
    bool m_embedded = true;
    bool m_movable = false;
    bool m_detachable = false;
    bool m_editable = false;
    bool m_dragged = false;
    bool m_doubleClicked = false;
    QWidget* m_home = nullptr;
    QPointer<LabelDesigner> m_designer;
    int m_clickTimer = -1;
};

class AcceptedCheck : public QWidget {
    Q_OBJECT

public:
    explicit AcceptedCheck(QWidget* parent = nullptr);
    ~AcceptedCheck() override;
    bool isChecked() const { return m_checked; }
    // The 16 x 16 check image.
    static QPixmap checkImage();

public Q_SLOTS:
    void setChecked();
    void setUnchecked();

protected:
    void paintEvent(QPaintEvent* e) override;

private:
    QPixmap m_checkImage;
    QPixmap* m_background = nullptr;
    bool m_backgroundTaken = false;
    bool m_checked = false;
};

class ActionCircle : public QWidget {
    Q_OBJECT

public:
    explicit ActionCircle(QWidget* parent = nullptr);
    ~ActionCircle() override;

    QColor* m_penColor = nullptr;
    QColor* m_fillColor = nullptr;
    int m_minDiameter = 1;
    int m_maxDiameter = 12;
    int m_diameter = 1;
    int m_stepCount = 5;
    bool m_shrinking = false;
    bool m_running = false;
    QTimer* m_timer = nullptr;

    // Starts the pulse timer (every 10 x m_stepCount ms).
    void start();
    void updateMask();

private Q_SLOTS:
    void updateDiameter();

protected:
    void paintEvent(QPaintEvent* e) override;

private:
    QPixmap m_pixmap;
    QBitmap m_mask;
};

class ActionID : public QAction {
    Q_OBJECT

public:
    explicit ActionID(const QString& text, QObject* parent = nullptr);
    int m_id = 0;

Q_SIGNALS:
    void activated(int id);
    void toggled(bool on, int id);

private Q_SLOTS:
    void on_activated();
    void on_toggled(bool on);
};
