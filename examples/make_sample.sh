#!/usr/bin/env bash
# Writes sample.txt, the document scripts/run.sh opens: GBK bytes with CR LF line ends.
# The text below is UTF-8; edit it here and run this script again.
set -euo pipefail
cd "$(dirname "$0")"
cat <<'TEXT' | sed 's/$/\r/' | iconv -f UTF-8 -t GBK > sample.txt.new
Kesh 示例文档

一、简介
Kesh 是编辑中文纯文本的小工具。文件以 GBK（代码页 936）保存，每行以回车换行结束。

二、分段示例
（一）按“一是、二是”分段
一是界面简单，打开即用；二是程序小巧，不依赖运行库；三是查找、替换和书签都在“编辑”菜单里。
（二）按阿拉伯数字分段
1. 打开文件：Ctrl-O。
2. 保存文件：Ctrl-S。
3. 查找与替换：Ctrl-F、Ctrl-H。
（三）按圆括号数字分段
(1) 第一项 (2) 第二项 (3) 第三项

三、块内数字求和
选中下面一行，按 Ctrl-J：
12.5  30  7.25  100

四、程序片段
#include <stdio.h>

int main(void)
{
    int total = 0;
    for (int i = 1; i <= 10; i++)
        total += i;
    printf("1+2+...+10 = %d\n", total);  /* 55 */
    return 0;
}

五、练习题
1. 中国的首都是（  ）。
A. 上海  B. 北京  C. 广州  D. 深圳
答案：B
2. 一年有（  ）个月。
A. 十  B. 十一  C. 十二  D. 十三
答案：C
3. 在标准大气压下，水的沸点是（  ）摄氏度。
A. 90  B. 100  C. 110  D. 120
答案：B
TEXT
mv sample.txt.new sample.txt
