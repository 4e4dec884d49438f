#!/usr/bin/env python3
"""Writes statement.txt: a made-up transaction-statement text as it looks when copied out
of the statement's PDF file and pasted into Kesh (GBK, CR LF). Try the command
"整理微信交易证明" (Alt, G, W) on it. Every record begins with its date on a line of its
own; the cells of a row follow on further lines, with the order number of the merchant
and the next record's number glued on behind.

The twenty records cover: expenses, income and other kinds; change, bank cards "(0123)"
whose amount follows without a space; counterparties with spaces, a "~", a "/" and a
transfer "发给" a mobile number; order numbers of every length.
"""
from pathlib import Path

HEADER = [
    "微信支付交易明细证明",
    "兹证明：用户 测试 在其微信号中的明细信息如下：",
    "交易时间 交易类型 收/支/其他 交易方式 金额(元) 交易对方 商户单号",
]

# date, time, type, kind, method, amount, counterparty, order number
RECORDS = [
    ("2023-01-05", "12:30:45", "商户消费", "支出", "零钱", "25.00", "全家便利店 东门店", "10000498012023010500381"),
    ("2023-01-06", "08:05:09", "商户消费", "支出", "招商银行(0123)", "128.00", "美团~外卖", "4200000987202301"),
    ("2023-01-09", "19:45:00", "转账", "支出", "零钱", "200.00", "发给13812345678", "1000050001202301"),
    ("2023-01-12", "10:00:00", "退款", "收入", "零钱", "12.00", "张三/转账备注", "5001"),
    ("2023-01-15", "23:59:59", "零钱通转入", "其他", "零钱", "1000.00", "零钱通", "420000000120230115"),
    ("2023-02-01", "07:30:12", "商户消费", "支出", "建设银行(4567)", "6.50", "地铁 二号线 人民广场站", "9900112233445566"),
    ("2023-02-03", "12:12:12", "微信红包", "收入", "零钱", "66.66", "李四", "1000039501202302"),
    ("2023-02-08", "18:20:00", "商户消费", "支出", "零钱", "35.80", "西贝莜面村", "4200001234567890"),
    ("2023-02-14", "20:14:00", "转账", "支出", "零钱", "520.00", "发给15900001111", "100005000120230214"),
    ("2023-02-20", "09:00:01", "商户消费", "支出", "工商银行(8888)", "1999.00", "京东 自营 旗舰店", "123456789012345"),
    ("2023-03-01", "11:11:11", "二维码收款", "收入", "零钱", "15.00", "王五", "10001"),
    ("2023-03-05", "16:40:30", "商户消费", "支出", "零钱", "9.90", "瑞幸咖啡~", "4200005555666677"),
    ("2023-03-09", "06:06:06", "零钱提现", "其他", "招商银行(0123)", "300.00", "零钱提现", "1000070001"),
    ("2023-03-15", "21:30:00", "商户消费", "支出", "零钱", "42.00", "滴滴出行 快车", "4200009999888877"),
    ("2023-03-22", "13:45:10", "转账", "收入", "零钱", "88.00", "赵六", "1000050001202303"),
    ("2023-04-01", "00:00:01", "商户消费", "支出", "零钱", "3.00", "中国移动 话费", "18600001234567"),
    ("2023-04-10", "17:17:17", "群收款", "收入", "零钱", "45.00", "周末 聚餐 AA", "1000060001"),
    ("2023-04-18", "08:48:00", "商户消费", "支出", "农业银行(2468)", "27.30", "早餐店", "4200002222333344"),
    ("2023-04-25", "22:10:05", "转账", "支出", "零钱", "50.00", "发给18800002222", "1000050001202304"),
    ("2023-04-30", "14:00:00", "商户消费", "支出", "零钱", "199.00", "优衣库 南京路店", "4200007777888899"),
]


def record_lines(date, time, kind_of_trade, kind, method, amount, counterparty, order):
    # A bank card's amount follows on the next line; change and its amount share one.
    if method.endswith(")"):
        return [date, time, kind_of_trade, f"{kind} {method}", f"{amount} {counterparty} ", order]
    # A transfer's mobile number runs straight into the order number behind it.
    tail = "" if counterparty.startswith("发给") else " "
    return [date, time, kind_of_trade, f"{kind} {method} {amount} ", counterparty + tail, order]


def main():
    lines = list(HEADER)
    for record in RECORDS:
        lines += record_lines(*record)
    text = "\r\n".join(lines) + "\r\n"
    Path(__file__).with_name("statement.txt").write_bytes(text.encode("gbk"))


if __name__ == "__main__":
    main()
