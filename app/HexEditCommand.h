// HexEditCommand: one undoable change of a hex view's bytes. Every edit (typing,
// deleting, pasting) is "replace these bytes at pos by those", so one command
// kind undoes them all; consecutive typing merges into one undo step.
#pragma once

#include <QByteArray>
#include <QUndoCommand>

class HexView;

class HexEditCommand : public QUndoCommand {
public:
    HexEditCommand(HexView* view, qint64 pos, QByteArray oldBytes, QByteArray newBytes, qint64 caretBefore,
                   qint64 caretAfter, bool typing);

    void redo() override;
    void undo() override;
    int id() const override { return typing_ ? kTypingId : -1; }
    bool mergeWith(const QUndoCommand* other) override;

private:
    static constexpr int kTypingId = 0x4845;

    HexView* view_;
    qint64 pos_;
    QByteArray old_;
    QByteArray new_;
    qint64 caretBefore_;
    qint64 caretAfter_;
    bool typing_;
};
