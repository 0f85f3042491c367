#pragma once
// State of the menu subsystem, owned by the context.
namespace qv {

struct MenuState {};

}  // namespace qv
