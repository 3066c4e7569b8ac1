-- Tables of the shop's database. Every column is NOT NULL: an empty entry is the empty text.
create table Tb_顧客 (
  Fi_キー            integer not null default 0 primary key,
  Fi_名前            text    not null default '',
  Fi_名前フリガナ    text    not null default '',
  Fi_郵便番号        text    not null default '',
  Fi_都道府県番号    integer not null default 0,
  Fi_市区町村        text    not null default '',
  Fi_建物            text    not null default '',
  Fi_電話番号        text    not null default '',
  Fi_携帯番号        text    not null default '',
  Fi_ファックス番号  text    not null default '',
  Fi_メールアドレス  text    not null default '',
  Fi_備考            text    not null default '',
  Fi_最終更新年      text    not null default '',
  Fi_最終更新月      text    not null default '',
  Fi_最終更新日      text    not null default '',
  Fi_最終更新時      text    not null default '',
  Fi_最終更新分      text    not null default '',
  Fi_最終更新秒      text    not null default ''
);
create index Ix_顧客_フリガナ on Tb_顧客 (Fi_名前フリガナ);

create table Tb_都道府県 (
  Fi_番号  integer not null default 0 primary key,
  Fi_名称  text    not null default ''
);

create table Tb_メーカー (
  Fi_キー              integer not null default 0 primary key,
  Fi_メーカー          text    not null default '',
  Fi_メーカーフリガナ  text    not null default '',
  Fi_最終更新年        text    not null default '',
  Fi_最終更新月        text    not null default '',
  Fi_最終更新日        text    not null default '',
  Fi_最終更新時        text    not null default '',
  Fi_最終更新分        text    not null default '',
  Fi_最終更新秒        text    not null default ''
);
create index Ix_メーカー_フリガナ on Tb_メーカー (Fi_メーカーフリガナ);

create table Tb_商品 (
  Fi_キー              integer not null default 0 primary key,
  Fi_メーカー          text    not null default '',
  Fi_メーカーフリガナ  text    not null default '',
  Fi_商品              text    not null default '',
  Fi_商品フリガナ      text    not null default '',
  Fi_定価              real    not null default 0,
  Fi_売価              real    not null default 0,
  Fi_最終更新年        text    not null default '',
  Fi_最終更新月        text    not null default '',
  Fi_最終更新日        text    not null default '',
  Fi_最終更新時        text    not null default '',
  Fi_最終更新分        text    not null default '',
  Fi_最終更新秒        text    not null default ''
);
create index Ix_商品_メーカー on Tb_商品 (Fi_メーカー, Fi_商品フリガナ);
create index Ix_商品_フリガナ on Tb_商品 (Fi_メーカーフリガナ, Fi_商品フリガナ);

create table Tb_売上 (
  Fi_キー              integer not null default 0 primary key,
  Fi_購入年            text    not null default '',
  Fi_購入年月          text    not null default '',
  Fi_購入年月日        text    not null default '',
  Fi_メーカー          text    not null default '',
  Fi_メーカーフリガナ  text    not null default '',
  Fi_商品              text    not null default '',
  Fi_商品フリガナ      text    not null default '',
  Fi_定価              real    not null default 0,
  Fi_売価              real    not null default 0,
  Fi_数量              real    not null default 0,
  Fi_売価合計          real    not null default 0,
  Fi_購入者            text    not null default '',
  Fi_購入者フリガナ    text    not null default '',
  Fi_備考              text    not null default '',
  Fi_最終更新年        text    not null default '',
  Fi_最終更新月        text    not null default '',
  Fi_最終更新日        text    not null default '',
  Fi_最終更新時        text    not null default '',
  Fi_最終更新分        text    not null default '',
  Fi_最終更新秒        text    not null default ''
);
create index Ix_売上_購入年月 on Tb_売上 (Fi_購入年月);
-- The report order (purchase date, then key) for the period, maker and purchaser reports.
create index Ix_売上_購入年月日 on Tb_売上 (Fi_購入年月日, Fi_キー, Fi_購入年月, Fi_売価合計);
create index Ix_売上_メーカー on Tb_売上 (Fi_メーカー, Fi_購入年月日);
create index Ix_売上_購入者 on Tb_売上 (Fi_購入者, Fi_購入年月日);
-- The sums of the sales charts: by month; by maker and purchaser up to a year from the months;
-- by maker and purchaser over longer periods walked in their order.
create index Ix_売上_月別集計 on Tb_売上 (Fi_購入年月, Fi_売価合計);
create index Ix_売上_月別内訳 on Tb_売上 (Fi_購入年月, Fi_メーカー, Fi_購入者, Fi_売価合計, Fi_購入年月日);
create index Ix_売上_メーカー別集計 on Tb_売上 (Fi_メーカー, Fi_購入年月, Fi_売価合計);
create index Ix_売上_購入者別集計 on Tb_売上 (Fi_購入者, Fi_購入年月, Fi_売価合計, Fi_購入年月日);
-- A customer's purchases by the name they carry: the history newest first, and the customer
-- search by purchases (the last purchase, the totals and visits of a period) with one look into
-- the index per customer.
create index Ix_売上_購入履歴 on Tb_売上 (Fi_購入者, Fi_購入年月日, Fi_売価合計);

create table Tb_検索条件 (
  Fi_キー             integer not null default 0 primary key,
  Fi_名前フリガナ     text    not null default '',
  Fi_名前             text    not null default '',
  Fi_郵便番号         text    not null default '',
  Fi_都道府県番号     integer not null default 0,
  Fi_市区町村         text    not null default '',
  Fi_建物             text    not null default '',
  Fi_電話番号         text    not null default '',
  Fi_携帯番号         text    not null default '',
  Fi_ファックス番号   text    not null default '',
  Fi_メールアドレス   text    not null default '',
  Fi_備考             text    not null default ''
);

-- The sender of the postcards, one row (Fi_キー 1), kept in the ledger so that the backup and
-- the restore carry it. Added after the first version: an older file gets it when the address
-- printing first reads it.
create table Tb_差出人 (
  Fi_キー             integer not null default 0 primary key,
  Fi_名前             text    not null default '',
  Fi_郵便番号         text    not null default '',
  Fi_住所1            text    not null default '',
  Fi_住所2            text    not null default '',
  Fi_電話番号         text    not null default ''
);

-- What the customer search adds to the conditions of Tb_検索条件: purchases and the month of
-- birth, one row (Fi_キー 1). Dates "yyyymmdd", empty for none; amount and visits 0 for none.
-- Added after the first version: an older file gets it at the first search.
create table Tb_検索条件追加 (
  Fi_キー             integer not null default 0 primary key,
  Fi_最終購入以降     text    not null default '',
  Fi_最終購入より前   text    not null default '',
  Fi_購入期間開始     text    not null default '',
  Fi_購入期間終了     text    not null default '',
  Fi_期間合計以上     integer not null default 0,
  Fi_期間来店以上     integer not null default 0,
  Fi_購入メーカー     text    not null default '',
  Fi_購入なし         integer not null default 0,
  Fi_誕生月           integer not null default 0
);

-- A customer's birthday and mail wish, under the customer's Fi_キー; a customer without a row has
-- no birthday and takes mail. Birth year 0: not known. Added after the first version: an older
-- file gets it when a customer is first read or saved.
create table Tb_顧客補足 (
  Fi_キー             integer not null default 0 primary key,
  Fi_誕生年           integer not null default 0,
  Fi_誕生月           integer not null default 0,
  Fi_誕生日           integer not null default 0,
  Fi_DM不要           integer not null default 0
);
create index Ix_顧客補足_誕生月 on Tb_顧客補足 (Fi_誕生月);
