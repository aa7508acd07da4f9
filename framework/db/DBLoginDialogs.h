// The login and password dialogs of database connections: small modal forms shown through the dialog service.
#pragma once

#include <string>

// Asks for a password; true with the entered text on OK.
bool PasswordDialog(std::string& password);
// Asks for a user name and a password to connect to the database; the user name starts as given and stays fixed
// when nameReadOnly. True with both on OK.
bool LoginDialogEx(const std::string& databaseName, std::string& userName, std::string& password, bool nameReadOnly);
