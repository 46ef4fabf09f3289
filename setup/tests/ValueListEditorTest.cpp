#include "setup/ValueListEditor.h"

#include <gtest/gtest.h>

TEST(ValueListEditorTest, ValuesAreSetAndReadByTheirKey)
{
    TValueListEditor Editor("Item", "Status", {"Conexão", "Meteorologia", "Ação esperada"});
    Editor.SetValue("Meteorologia", "True");
    Editor.SetValue("Ação esperada", "Alarme para 24/12/2025 07:05:00");
    EXPECT_EQ(Editor.Value("Conexão"), "");
    EXPECT_EQ(Editor.Value("Meteorologia"), "True");
    EXPECT_EQ(Editor.item(1, 1)->text(), "True") << "in the row of its key";
    EXPECT_EQ(Editor.item(2, 1)->text(), "Alarme para 24/12/2025 07:05:00");
    EXPECT_EQ(Editor.Value("Desconhecida"), "");
    Editor.SetValue("Desconhecida", "x");
    EXPECT_EQ(Editor.Keys(), QStringList({"Conexão", "Meteorologia", "Ação esperada", "Desconhecida"}));
    EXPECT_FALSE(Editor.item(0, 0)->flags() & Qt::ItemIsEditable) << "keys are fixed";
}
