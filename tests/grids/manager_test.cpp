#include "grids/manager.h"

#include <gtest/gtest.h>

#include "cells/boolean_cell.h"
#include "cells/currency_cell.h"
#include "cells/date_time_cell.h"
#include "cells/double_cell.h"
#include "cells/integer_cell.h"
#include "cells/picture_cell.h"
#include "cells/string_cell.h"
#include "cells/strings_cell.h"
#include "grids/editor_classes.h"
#include "platform/exceptions.h"
#include "platform/format_settings.h"

namespace qv {
namespace {

std::vector<std::string> Names(const TQvManager& M, TClass Cls) {
    std::vector<std::string> r;
    for (int i = 0; i < M.EditorCount(Cls); ++i) r.push_back(M.EditorClass(Cls, i)->Name);
    return r;
}

std::vector<std::string> Lines(const TStringList* L) {
    std::vector<std::string> r;
    for (int i = 0; L && i < L->Count(); ++i) r.push_back(L->Strings(i));
    return r;
}

TEST(QvManagerTest, RegistryContentsAndOrder) {
    const TQvManager& m = QvManager();
    const TClass expected[] = {TQvCString::StaticClass(),   TQvCInteger::StaticClass(), TQvCDouble::StaticClass(),
                               TQvCCurrency::StaticClass(), TQvCDateTime::StaticClass(), TQvCBoolean::StaticClass(),
                               TQvCPicture::StaticClass(),  TQvCStrings::StaticClass()};
    ASSERT_EQ(m.ClassCount(), 8);
    for (int i = 0; i < 8; ++i) EXPECT_EQ(m.ClassAt(i), expected[i]) << i;

    using V = std::vector<std::string>;
    EXPECT_EQ(Names(m, TQvCString::StaticClass()), (V{"TQvEdit", "TQvMemo", "TQvRichEdit"}));
    for (TClass c : {TQvCInteger::StaticClass(), TQvCDouble::StaticClass(), TQvCCurrency::StaticClass()})
        EXPECT_EQ(Names(m, c), (V{"TQvNumEdit", "TQvSpinNumEdit"}));
    EXPECT_EQ(Names(m, TQvCDateTime::StaticClass()), (V{"TQvDateEdit", "TQvTimeEdit"}));
    EXPECT_EQ(m.EditorCount(TQvCBoolean::StaticClass()), 0);
    EXPECT_EQ(m.EditorCount(TQvCPicture::StaticClass()), 0);
    EXPECT_EQ(Names(m, TQvCStrings::StaticClass()), (V{"TQvCombobox"}));
    EXPECT_EQ(m.EditorClass(TQvCStrings::StaticClass(), 0), EditorClasses::TQvCombobox());

    // Written in the format language whatever the locale.
    EXPECT_EQ(Lines(m.Formats(TQvCString::StaticClass())), V{});
    EXPECT_EQ(Lines(m.Formats(TQvCInteger::StaticClass())), V{"0"});
    EXPECT_EQ(Lines(m.Formats(TQvCDouble::StaticClass())), (V{"0.00", "#,##0", "#,##0.00", "0%", "0.00%"}));
    EXPECT_EQ(Lines(m.Formats(TQvCCurrency::StaticClass())), V{"0.00"});
    EXPECT_EQ(Lines(m.Formats(TQvCDateTime::StaticClass())), V{"DD.MM.YY"});
}

TEST(QvManagerTest, ClassIdentifiers) {
    const TQvManager& m = QvManager();
    EXPECT_EQ(TQvManager::ClassId(TQvCString::StaticClass()), 981);
    EXPECT_EQ(TQvManager::ClassId(nullptr), 0);
    for (int i = 0; i < m.ClassCount(); ++i) EXPECT_EQ(m.ClassById(TQvManager::ClassId(m.ClassAt(i))), m.ClassAt(i));
    EXPECT_EQ(m.ClassById(TQvManager::ClassId(TQvCInteger::StaticClass())), TQvCInteger::StaticClass());
    EXPECT_EQ(m.ClassById(1), nullptr);
}

TEST(QvManagerTest, RegistrationAndLookupRules) {
    static const TClassInfo a{"TAb", nullptr, nullptr}, b{"TBa", nullptr, nullptr}, stranger{"TX", nullptr, nullptr};
    TQvManager m;
    EXPECT_EQ(m.RegisterCellClass(&a), 0);
    m.RegisterClasses({&a, &b}, {EditorClasses::TQvEdit(), EditorClasses::TQvMemo()});
    m.RegisterClasses({&a}, {EditorClasses::TQvMemo(), EditorClasses::TQvNumEdit()});
    EXPECT_EQ(m.ClassCount(), 2);
    EXPECT_EQ(Names(m, &a), (std::vector<std::string>{"TQvEdit", "TQvMemo", "TQvNumEdit"}));
    // Anagrams share an identifier; the first registered wins.
    EXPECT_EQ(m.ClassById(TQvManager::ClassId(&b)), &a);

    EXPECT_EQ(m.EditorCount(&stranger), 0);
    EXPECT_EQ(m.EditorClass(&stranger, 0), nullptr);
    EXPECT_EQ(m.EditorClass(&a, 3), nullptr);
    EXPECT_EQ(m.Formats(&stranger), nullptr);
    EXPECT_THROW(m.EditorClass(&a, -1), EListError);
}

TEST(QvManagerTest, EditorFactoriesAreBoundByDescriptor) {
    const TClass memo = EditorClasses::ByName("TQvMemo");
    ASSERT_EQ(memo, EditorClasses::TQvMemo());
    EXPECT_EQ(EditorClasses::ByName("TQvNothing"), nullptr);
    EXPECT_EQ(EditorClasses::EditorFactory(memo), nullptr);
    EditorClasses::BindEditorFactory(memo, std::any(7));
    ASSERT_NE(EditorClasses::EditorFactory(memo), nullptr);
    EXPECT_EQ(std::any_cast<int>(*EditorClasses::EditorFactory(memo)), 7);
    EditorClasses::BindEditorFactory(memo, std::any());
    EXPECT_EQ(EditorClasses::EditorFactory(memo), nullptr);
}

}  // namespace
}  // namespace qv
