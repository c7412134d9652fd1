#pragma once

// The model's types by name alone, for headers that only pass them on.

namespace talvik::model {
class CActionList;
class CAppState;
struct CKeyConfig;
} // namespace talvik::model
