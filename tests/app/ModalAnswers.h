// Answers the modal windows the code under test opens (message boxes and file
// dialogs), since their exec() returns only once someone answers. Answers are
// given in order; anything modal that was not expected is closed and recorded, so
// a test fails instead of hanging.
#pragma once

#include <QAbstractButton>
#include <QApplication>
#include <QFileDialog>
#include <QFileInfo>
#include <QLineEdit>
#include <QMessageBox>
#include <QPointer>
#include <QTimer>
#include <deque>
#include <memory>

class ModalAnswers {
public:
    struct Seen {
        bool shown = false;
        QString title;
        QString text;
        QMessageBox::Icon icon = QMessageBox::NoIcon;
        QMessageBox::StandardButtons buttons;
        QString fileNameField;  // what the file dialog's name field held when it came up
        QString folder;         // the folder the file dialog came up in
    };

    ModalAnswers() { poll(); }
    ~ModalAnswers() { *alive_ = false; }

    // The next message box is answered with button.
    std::shared_ptr<Seen> box(QMessageBox::StandardButton button) { return push(false, button, {}); }
    // The next file dialog is answered with path (an empty path cancels it).
    std::shared_ptr<Seen> file(const QString& path) { return push(true, QMessageBox::NoButton, path); }

    // Titles of modal windows that came up with no answer waiting.
    QStringList unexpected;
    bool allAnswered() const { return pending_.empty(); }

private:
    struct Answer {
        bool fileDialog;
        QMessageBox::StandardButton button;
        QString path;
        std::shared_ptr<Seen> seen;
    };

    std::shared_ptr<Seen> push(bool fileDialog, QMessageBox::StandardButton button, const QString& path)
    {
        auto seen = std::make_shared<Seen>();
        pending_.push_back({fileDialog, button, path, seen});
        return seen;
    }

    // A fresh single shot each time: it also fires inside the nested loop of a box
    // opened from within an answer.
    void poll()
    {
        std::shared_ptr<bool> alive = alive_;
        QTimer::singleShot(5, qApp, [this, alive] {
            if (!*alive)
                return;
            answerModal();
            poll();
        });
    }

    void answerModal()
    {
        QWidget* modal = QApplication::activeModalWidget();
        if (!modal || modal == answered_ || !modal->isVisible())
            return;
        answered_ = modal;
        auto* box = qobject_cast<QMessageBox*>(modal);
        auto* dialog = qobject_cast<QFileDialog*>(modal);
        if (pending_.empty() || (pending_.front().fileDialog ? !dialog : !box)) {
            unexpected << modal->windowTitle() + (box ? QStringLiteral(": ") + box->text() : QString());
            QMetaObject::invokeMethod(modal, "reject", Qt::QueuedConnection);
            return;
        }
        Answer answer = pending_.front();
        pending_.pop_front();
        Seen& seen = *answer.seen;
        seen.shown = true;
        seen.title = modal->windowTitle();
        if (box) {
            seen.text = box->text();
            seen.icon = box->icon();
            seen.buttons = box->standardButtons();
            if (QAbstractButton* button = box->button(answer.button))
                QMetaObject::invokeMethod(button, "click", Qt::QueuedConnection);
            else
                QMetaObject::invokeMethod(box, "reject", Qt::QueuedConnection);
            return;
        }
        seen.folder = dialog->directory().absolutePath();
        auto* field = dialog->findChild<QLineEdit*>(QStringLiteral("fileNameEdit"));
        if (field)
            seen.fileNameField = field->text();
        if (answer.path.isEmpty() || !field) {
            QMetaObject::invokeMethod(dialog, "reject", Qt::QueuedConnection);
        } else {
            // Typed as a user types it: selectFile() leaves the field alone while it has the focus.
            dialog->setDirectory(QFileInfo(answer.path).absolutePath());
            field->setText(QFileInfo(answer.path).fileName());
            QMetaObject::invokeMethod(dialog, "accept", Qt::QueuedConnection);
        }
    }

    std::deque<Answer> pending_;
    QPointer<QWidget> answered_;
    std::shared_ptr<bool> alive_ = std::make_shared<bool>(true);
};
