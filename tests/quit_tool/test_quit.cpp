#include "TestSupport.h"
#include "UPrincipale.h"

#include <gtest/gtest.h>

TEST(BavardinQuit, TheDatagramNamesThisComputer) {
    EXPECT_EQ(DatagrammeQuitter("PC-SALON"), "QUITTER,PC-SALON,CHEF,0");
    EXPECT_EQ(DatagrammeQuitter("poste-é"), "QUITTER,poste-\xe9,CHEF,0");
    EXPECT_EQ(DatagrammeQuitter(QString::fromUtf8("机器")), "QUITTER,??,CHEF,0");
    EXPECT_EQ(DatagrammeQuitter(""), "QUITTER,,CHEF,0");
}
