// The French defaults of every text the program builds in code, and the two access functions
// over the table of texts (a language file's texts win over these defaults).
#pragma once

#include <QString>
#include <span>

QString TexteDe(const QString& fenetre, const QString& cle);
void AjouterTexteDefaut(const QString& fenetre, const QString& cle, const QString& texte);
void EnregistrerTextesDefaut();

struct TexteDefaut {
    const char* fenetre;
    const char* cle;
    const char16_t* texte;
};
// The table registered at start, in its order.
std::span<const TexteDefaut> TextesDefaut();
// The forum's own three defaults, registered each time the forum window opens.
std::span<const TexteDefaut> TextesDefautForum();
void EnregistrerTextesForum();
