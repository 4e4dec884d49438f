// The quiz dialog (dialog 134): its control IDs, which are also the commands its
// buttons send, and the sounds of its answers.
#pragma once

constexpr int QUIZ_DIALOG = 134;

constexpr int QUIZ_DEFAULT_COMMAND = 1;  // Enter
constexpr int QUIZ_CLOSE = 2;            // the close box
constexpr int QUIZ_ANSWER_BUTTON = 1004;  // "答案": show or hide answers
constexpr int QUIZ_QUESTION = 1005;
constexpr int QUIZ_OPTION_A = 1006;  // options A to I are 1006 to 1014
constexpr int QUIZ_OPTION_I = 1014;
constexpr int QUIZ_PREVIOUS = 1020;
constexpr int QUIZ_NEXT = 1021;
constexpr int QUIZ_ANSWER = 1022;
constexpr int QUIZ_EXPLANATION = 1023;
constexpr int QUIZ_TYPE_LABEL = 1024;
constexpr int QUIZ_SHUFFLE = 1025;
constexpr int QUIZ_FIRST = 1026;
constexpr int QUIZ_LAST = 1027;
constexpr int QUIZ_SELECT_ALL = 1028;
constexpr int QUIZ_TEN_FORWARD = 1029;
constexpr int QUIZ_TEN_BACK = 1030;
constexpr int QUIZ_POSITION = 1031;
constexpr int QUIZ_KEEP_SINGLE = 1032;
constexpr int QUIZ_KEEP_MULTIPLE = 1033;
constexpr int QUIZ_KEEP_TRUE_FALSE = 1034;
constexpr int QUIZ_SOUND = 1035;
constexpr int QUIZ_SHORTCUTS = 1037;
constexpr int QUIZ_SCORE = 1038;
constexpr int QUIZ_COPY_BANK = 1040;
constexpr int QUIZ_FILTER = 1041;
constexpr int QUIZ_FILTER_TEXT = 1042;

constexpr int SOUND_RIGHT_ANSWER = 135;
constexpr int SOUND_WRONG_ANSWER = 138;
