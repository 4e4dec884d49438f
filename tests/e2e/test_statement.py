#!/usr/bin/env python3
"""The statement tidy-up from the menu by its keys: the sample statement becomes one
comma-separated record per line, and Save writes exactly that."""

import unittest
from pathlib import Path

from kesh_e2e import Kesh, run_scenarios

SAMPLE = Path(__file__).resolve().parents[2] / 'examples' / 'statement.txt'

RECORDS = [
    '2023-01-05,12:30:45,商户消费,支出,零钱,25.00,全家便利店_东门店',
    '2023-01-06,08:05:09,商户消费,支出,招商银行(0123),128.00,美团外卖',
    '2023-01-09,19:45:00,转账,支出,零钱,200.00,13812345678',
    '2023-01-12,10:00:00,退款,收入,零钱,12.00,张三',
    '2023-01-15,23:59:59,零钱通转入,其他,零钱,1000.00,零钱通',
    '2023-02-01,07:30:12,商户消费,支出,建设银行(4567),6.50,地铁_二号线_人民广场站',
    '2023-02-03,12:12:12,微信红包,收入,零钱,66.66,李四',
    '2023-02-08,18:20:00,商户消费,支出,零钱,35.80,西贝莜面村',
    '2023-02-14,20:14:00,转账,支出,零钱,520.00,15900001111',
    '2023-02-20,09:00:01,商户消费,支出,工商银行(8888),1999.00,京东_自营_旗舰店',
    '2023-03-01,11:11:11,二维码收款,收入,零钱,15.00,王五',
    '2023-03-05,16:40:30,商户消费,支出,零钱,9.90,瑞幸咖啡',
    '2023-03-09,06:06:06,零钱提现,其他,招商银行(0123),300.00,零钱提现',
    '2023-03-15,21:30:00,商户消费,支出,零钱,42.00,滴滴出行_快车',
    '2023-03-22,13:45:10,转账,收入,零钱,88.00,赵六',
    '2023-04-01,00:00:01,商户消费,支出,零钱,3.00,中国移动_话费',
    '2023-04-10,17:17:17,群收款,收入,零钱,45.00,周末_聚餐_AA',
    '2023-04-18,08:48:00,商户消费,支出,农业银行(2468),27.30,早餐店',
    '2023-04-25,22:10:05,转账,支出,零钱,50.00,18800002222',
    '2023-04-30,14:00:00,商户消费,支出,零钱,199.00,优衣库_南京路店',
]
HEADING = ('微信支付交易明细证明兹证明：用户,测试,在其微信号中的明细信息如下：'
           '交易时间,交易类型,收/支/其他,交易方式,金额(元)_交易对方_商户单号')


class StatementTidyUp(unittest.TestCase):
    def test_menu_keys_tidy_the_sample_and_save_writes_the_records(self):
        with Kesh(args=['statement.txt'], files={'statement.txt': SAMPLE.read_bytes()}, name='statement') as k:
            title = f'{k.winpath("statement.txt")} - Kesh'
            k.wait_title(title)
            k.key('alt+g', 'w')
            box, _ = k.wait_message_box('请确认:', timeout=20)
            k.key('y', window=box)
            box, text = k.wait_message_box('请确认易错且无法恢复的【危险操作】', timeout=60)
            self.assertEqual(text, '确定把全文中的 空格 换成 逗号 吗？')
            k.key('y', window=box)
            k.wait_title(' * ' + title, timeout=20)
            k.key('ctrl+s')
            k.wait_title(title)
            lines = k.read('statement.txt').decode('gbk').split('\r\n')
            self.assertEqual(lines[0], HEADING)
            self.assertEqual(lines[1:21], RECORDS)
            self.assertEqual(lines[21:], [''])  # the last record keeps its line break
            self.assertEqual(k.close(), 0)


if __name__ == '__main__':
    run_scenarios()
