#pragma once
// Qt's runtime folder for a process started outside a desktop session.

namespace propclear {

// Without a session runtime folder (cron, ssh, CI) Qt falls back to a private
// folder of its own and warns about it on every start. Naming that folder
// beforehand keeps standard error for the program's own messages. Called
// before the application object is made.
void provideRuntimeFolder();

}  // namespace propclear
