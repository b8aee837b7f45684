#pragma once

#include "platform/Prompter.h"
#include "support/Printers.h"

#include <QString>
#include <deque>
#include <vector>

namespace tillora::test {

// Records every message box and dialog and answers from queues. An unqueued
// question is answered No and an unqueued file dialog is cancelled.
class RecordingPrompter final : public Prompter {
public:
    enum class Kind { Message, Question, OpenFile, SaveFile };
    struct Call {
        Kind kind;
        QString text;
        QString title;
        Icon icon = Icon::None;
        QWidget* owner = nullptr;
        FileDialog dialog;
    };

    void message(const QString& text, const QString& title, Icon icon, QWidget* owner) override
    {
        calls.push_back({ Kind::Message, text, title, icon, owner, {} });
    }
    bool askYesNo(const QString& text, const QString& title, Icon icon, QWidget* owner) override
    {
        calls.push_back({ Kind::Question, text, title, icon, owner, {} });
        return takeFront(answers, false);
    }
    QString openFile(const FileDialog& dialog, QWidget* owner) override
    {
        calls.push_back({ Kind::OpenFile, {}, dialog.title, Icon::None, owner, dialog });
        return takeFront(files, QString());
    }
    QString saveFile(const FileDialog& dialog, QWidget* owner) override
    {
        calls.push_back({ Kind::SaveFile, {}, dialog.title, Icon::None, owner, dialog });
        return takeFront(files, QString());
    }

    // The texts of all calls, in order: the shape most tests assert.
    std::vector<QString> texts() const
    {
        std::vector<QString> out;
        for (const Call& call : calls)
            out.push_back(call.text);
        return out;
    }
    void clear() { calls.clear(); }

    std::vector<Call> calls;
    std::deque<bool> answers;
    std::deque<QString> files;

private:
    template <typename T> static T takeFront(std::deque<T>& queue, T fallback)
    {
        if (queue.empty())
            return fallback;
        T value = queue.front();
        queue.pop_front();
        return value;
    }
};

} // namespace tillora::test
