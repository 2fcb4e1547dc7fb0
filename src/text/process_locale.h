// The locale every vodbc program runs in. Drivers and the driver manager hand
// and take text in the process's character type, and everything vodbc keeps
// from them (catalog names, typed SQL, fetched values before they become
// Windows-1252) is UTF-8; numbers are read and printed by drivers, and by us,
// in the "C" form whatever the user's language.
#pragma once

namespace vodbc {

// Takes the character type from the environment when it is UTF-8, C.UTF-8
// otherwise, and sets numbers to "C". Call it first thing in main and again
// after anything (such as the Qt application) that sets the locale itself.
void useProcessLocale();

}  // namespace vodbc
