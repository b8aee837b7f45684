#pragma once

namespace tillora {

class Clock;
class Database;
class Prompter;
class Shell;
struct Session;

// What every window is given: the open database, the seams and the session.
struct Services {
    Database& db;
    Prompter& prompter;
    const Clock& clock;
    Shell& shell;
    Session& session;
};

} // namespace tillora
