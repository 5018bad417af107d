// Keyboard and focus handling of the browser: its event filter on the
// views, the path combo and the name edit, and its own key handler.
#include "base/dirbrowser.h"

#include "base/dirbrowser_p.h"
#include "base/fileviews.h"
#include "base/localfsoperator.h"

#include <QApplication>
#include <QComboBox>
#include <QDir>
#include <QKeyEvent>
#include <QLineEdit>
#include <QTimer>

bool DirBrowser::completeName(QKeyEvent* event)
{
    QLineEdit* edit = d->nameEdit;
    const QString typed = event->text();
    if (typed.isEmpty() || !typed.at(0).isPrint())
        return false;
    if (!(edit->cursorPosition() == edit->text().size() || edit->hasSelectedText()))
        return false;
    const int cut = edit->hasSelectedText() ? edit->selectionStart() : edit->cursorPosition();
    const QString prefix = (edit->text().left(cut) + typed).toLower();
    for (int r = 0; r < d->model->count(); ++r) {
        const QString& name = d->model->item(r).info.name;
        if (name.left(prefix.size()).toLower() == prefix) {
            edit->setText(name);
            edit->setSelection(name.size(), prefix.size() - name.size());
            return true;
        }
    }
    return false;
}

bool DirBrowser::eventFilter(QObject* watched, QEvent* event)
{
    QWidget* detail = d->detailView;
    QWidget* detailPort = d->detailView->viewport();
    QWidget* list = d->listView;
    QWidget* listPort = d->listView->viewport();
    FileViewCore* listCore = d->listView->core();
    FileViewCore* detailCore = d->detailView->core();

    if (event->type() == QEvent::KeyPress) {
        auto* key = static_cast<QKeyEvent*>(event);
        if (key->key() == Qt::Key_F5) {
            rereadDir();
            return true;
        }
        if (key->key() == Qt::Key_F1 || key->key() == Qt::Key_F2)
            return false;
        for (FileViewCore* core : {listCore, detailCore}) {
            if (core->isRenaming()) {
                core->editor()->setFocus();
                QKeyEvent copy(key->type(), key->key(), key->modifiers(), key->text(), key->isAutoRepeat(),
                               static_cast<ushort>(key->count()));
                QApplication::sendEvent(core->editor(), &copy);
                return true;
            }
        }
        const bool onDetail = watched == detail || watched == detailPort;
        const bool onList = watched == list || watched == listPort;
        if (key->key() == Qt::Key_Backspace && (onDetail || onList)) {
            cdUpClicked();
            return true;
        }
        if (key->key() == Qt::Key_Delete && (onDetail || onList)) {
            const QModelIndex current = onDetail ? d->detailView->currentIndex() : d->listView->currentIndex();
            if (current.isValid())
                deleteFile(nameAt(current));
            return true;
        }
        if (watched == detail)
            QTimer::singleShot(0, this, &DirBrowser::fixupNameEdit);
        if (watched == d->nameEdit && d->mode != AnyFile && completeName(key))
            return true;
    } else if (event->type() == QEvent::FocusIn) {
        if (watched == d->nameEdit) {
            fileNameEditDone();
        } else {
            for (FileViewCore* core : {listCore, detailCore}) {
                if (core->isRenaming() && watched != core->editor()) {
                    core->editor()->setFocus();
                    return true;
                }
            }
        }
    }
    return QDialog::eventFilter(watched, event);
}

void DirBrowser::keyPressEvent(QKeyEvent* event)
{
    bool taken = false;
    const int key = event->key();
    if ((key == Qt::Key_Return || key == Qt::Key_Enter) && !d->ignoreNextKey) {
        if (d->paths->hasFocus() || d->paths->lineEdit()->hasFocus()) {
            taken = true;
            const QString typed = d->paths->currentText();
            if (QDir::cleanPath(typed) == dirPath())
                d->nameEdit->setFocus();
        } else if (d->types->hasFocus()) {
            taken = true;
            d->nameEdit->setFocus();
        } else if (d->nameEdit->hasFocus()) {
            if (d->selection.isNull()) {
                taken = true;
                const QString name = d->nameEdit->text();
                const DirEntry entry = entryInfo(name);
                if (!name.isEmpty() && entry.isDir) {
                    d->nameEdit->clear();
                    setUrl(QUrl::fromLocalFile(entryPath(name) + QLatin1Char('/')));
                } else if (d->mode == ExistingFiles && entry.isFile) {
                    const int row = d->model->rowOf(name);
                    if (row >= 0)
                        d->detailView->selectionModel()->select(d->model->index(row, 0),
                                                                QItemSelectionModel::Select |
                                                                    QItemSelectionModel::Rows);
                }
            }
        } else if (d->detailView->hasFocus() || d->listView->hasFocus() || d->detailView->viewport()->hasFocus() ||
                   d->listView->viewport()->hasFocus()) {
            taken = true;
        }
    }
    d->ignoreNextKey = false;
    if (taken) {
        event->accept();
        return;
    }
    // Escape rejects the dialog, which hides it, docked or not.
    QDialog::keyPressEvent(event);
}
