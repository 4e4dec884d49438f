#include "document/document.h"

#include "document/gbk.h"
#include "document/selection.h"
#include "document/text.h"
#include "support/test_document.h"

TEST_F(CoreTest, Placeholder) { setDocument({"a"}); EXPECT_EQ(documentLines().size(), 1u); }
