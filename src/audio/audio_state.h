#pragma once
// State of the audio subsystem, owned by the context.
namespace qv {

struct AudioState {};

}  // namespace qv
