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
