// Helpers shared by the core's tests: a clean core per test, documents built from lines,
// the lines read back, and the document's invariants.
#pragma once

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "document/document.h"
#include "support/fake_platform.h"

// Closes the document and puts every global of the core back to its start state.
void resetCore();
// Replaces the document with these lines (all with hard returns), caret at (head, 0),
// laid out in memory as a loaded file is.
void setDocument(const std::vector<std::string>& lines);
// The same with every line on the heap of its own, as typed and pasted lines are.
void setDocumentOnHeap(const std::vector<std::string>& lines);
// Selects from anchorCol to caretCol on the first line (caret and anchor both there).
void selectOnFirstLine(int anchorCol, int caretCol);
// The texts of the document's lines, in order.
std::vector<std::string> documentLines();
// The n-th line (0-based).
LineNode* lineAt(int index);
// Empty when the list and every document reference are consistent, else what is wrong.
std::string documentInvariantViolation();
// Writes `bytes` to a fresh file under the test's temporary folder and returns its path.
std::string writeTempFile(const std::string& name, const std::string& bytes);
// The test's own temporary folder (where writeTempFile writes), created if needed.
std::string testFolder();
// The bytes of a file, or "<missing>" when it cannot be read.
std::string readFileBytes(const std::string& path);

// Fixture that starts each test from a clean core and checks the invariants at its end.
class CoreTest : public ::testing::Test {
protected:
    void SetUp() override { resetCore(); }
    void TearDown() override {
        EXPECT_EQ(documentInvariantViolation(), "");
        resetCore();
    }
};
