#pragma once

namespace qv {

struct Context;

// Fills the scene table and every shell hook with the subsystems this program is built from,
// and registers their state-dump sections.
void InstallSubsystemHooks(Context& ctx);

}  // namespace qv
