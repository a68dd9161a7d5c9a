// golden
