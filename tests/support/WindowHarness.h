#pragma once

#include "app/Services.h"
#include "platform/Prompter.h"
#include "store/Database.h"
#include "store/Session.h"
#include "support/DataDir.h"
#include "support/RecordingPrompter.h"
#include "support/Seams.h"

#include <QString>
#include <QVariantList>
#include <gtest/gtest.h>

namespace tillora::test {

// A fresh data directory with its database open, the recording seams and a
// session: what a window under test is given. A test's harness derives from
// it and declares its window after these, so the window goes first.
struct WindowHarness {
    WindowHarness() { dir.openSecondConnection(db); }

    Services services() { return { db, prompter, clock, shell, session }; }

    // Runs a statement through a connection of the test's own.
    void execute(const QString& sql, const QVariantList& params = {})
    {
        Database other;
        dir.openSecondConnection(other);
        ASSERT_TRUE(other.exec(sql, params)) << other.lastError().toStdString();
    }

    DataDir dir;
    Database db;
    RecordingPrompter prompter;
    FixedClock clock;
    RecordingShell shell;
    Session session;
};

// Exactly one message box was shown, with this text, title and icon.
inline void expectOneMessage(const RecordingPrompter& prompter, const QString& text, const QString& title,
    Prompter::Icon icon = Prompter::Icon::None)
{
    ASSERT_EQ(prompter.calls.size(), 1u);
    EXPECT_EQ(prompter.calls[0].kind, RecordingPrompter::Kind::Message);
    EXPECT_EQ(prompter.calls[0].text, text);
    EXPECT_EQ(prompter.calls[0].title, title);
    EXPECT_EQ(prompter.calls[0].icon, icon);
}

} // namespace tillora::test
