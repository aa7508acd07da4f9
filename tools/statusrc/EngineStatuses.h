// Statuses the engine raises itself, or passes on from the Scalable SQL requester, that the record manager's own
// table does not describe. 2999 (a value that cannot be converted) keeps no text: its message shows the number.
#pragma once

#include "requester/core/Statuses.h"

inline constexpr reqcore::StatusEntry EngineStatuses[] = {
    {-109, "The view holds no more records"},
    {-108, "The statement has unresolved substitution variables"},
    {44, "A keyed operation was given no key"},
    {51, "The owner name is not valid"},
    {204, "The table is not in the data dictionary"},
    {205, "The password is not valid"},
    {206, "Too many cursors are open"},
    {209, "The user name or password is not valid"},
    {211, "The record is too large"},
    {231, "The record structure is not valid"},
    {285, "The system tables of a named database cannot be opened"},
    {348, "The database is not known"},
    {538, "The index description is not valid"},
    {804, "There is no such column"},
    {2103, "The Scalable SQL requester is not installed"},
    {2120, "Too many clients are connected"},
};
