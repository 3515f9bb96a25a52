// Where the messages of this user are kept, and the emptying of that store's cache.
#pragma once

#include <QString>

// The program folder + the system user name + "/chat/", created when missing.
QString DossierMessages();
// Deletes every "*.bavardin" file of the folder (tree files and scratch file included).
void ViderCacheMessages(const QString& dossier);
