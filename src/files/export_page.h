// Export as a web page: the document written as HTML that looks like the editor window,
// white on black in the body font, with the syntax colours as CSS classes c0 to cf.
//
// The page is GBK and declares "gb2312". Runs of spaces are kept with "&nbsp;", a tab
// becomes "&emsp;", and each hard return becomes "<br />". The page becomes the
// document's file name, as with Save As.
#pragma once

// Asks for the page's name and writes it; Cancel changes nothing.
void exportPage();
