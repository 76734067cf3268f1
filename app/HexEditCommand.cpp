// HexEditCommand: applying, reverting and merging byte replacements.
#include "app/HexEditCommand.h"

#include "app/HexView.h"

HexEditCommand::HexEditCommand(HexView* view, qint64 pos, QByteArray oldBytes, QByteArray newBytes, qint64 caretBefore,
                               qint64 caretAfter, bool typing)
    : view_(view), pos_(pos), old_(std::move(oldBytes)), new_(std::move(newBytes)), caretBefore_(caretBefore),
      caretAfter_(caretAfter), typing_(typing)
{
}

void HexEditCommand::redo() { view_->applyReplace(pos_, old_.size(), new_, caretAfter_); }

void HexEditCommand::undo() { view_->applyReplace(pos_, new_.size(), old_, caretBefore_); }

bool HexEditCommand::mergeWith(const QUndoCommand* other)
{
    const auto* next = static_cast<const HexEditCommand*>(other);
    const qint64 end = pos_ + new_.size();
    if (next->pos_ == end) {
        // Typing on past what this command wrote: the bytes it replaced in the
        // original follow directly on the ones this command replaced.
        old_ += next->old_;
        new_ += next->new_;
    } else if (next->pos_ >= pos_ && next->pos_ + next->old_.size() <= end && next->old_.size() == next->new_.size()) {
        // The second digit of a byte this command already wrote.
        new_.replace(qsizetype(next->pos_ - pos_), next->new_.size(), next->new_);
    } else {
        return false;
    }
    caretAfter_ = next->caretAfter_;
    return true;
}
