#include "address/KanjiVariants.h"

#include <QtGlobal>

#include <algorithm>
#include <array>
#include <iterator>

namespace {

struct Variant {
    char16_t from;
    char16_t to;
};

// Pairs of which at least one form occurs in the names of Japan Post's KEN_ALL (towns and cities),
// from the old forms of the Jōyō kanji and the variants that place names are known by; 斉 and 斎 are
// one, as 齊 and 齋 are confused in names as much as in surnames. Sorted by the first character.
constexpr Variant kVariants[] = {
    {u'\u4E58', u'\u4E57'}, // 乘 → 乗
    {u'\u4E82', u'\u4E71'}, // 亂 → 乱
    {u'\u4E9E', u'\u4E9C'}, // 亞 → 亜
    {u'\u4F5B', u'\u4ECF'}, // 佛 → 仏
    {u'\u4F86', u'\u6765'}, // 來 → 来
    {u'\u50B3', u'\u4F1D'}, // 傳 → 伝
    {u'\u5152', u'\u5150'}, // 兒 → 児
    {u'\u5169', u'\u4E21'}, // 兩 → 両
    {u'\u51A8', u'\u5BCC'}, // 冨 → 富
    {u'\u51B2', u'\u6C96'}, // 冲 → 沖
    {u'\u51C9', u'\u6DBC'}, // 凉 → 涼
    {u'\u5269', u'\u5270'}, // 剩 → 剰
    {u'\u528D', u'\u5263'}, // 劍 → 剣
    {u'\u52DE', u'\u52B4'}, // 勞 → 労
    {u'\u52F3', u'\u52F2'}, // 勳 → 勲
    {u'\u5340', u'\u533A'}, // 區 → 区
    {u'\u5377', u'\u5DFB'}, // 卷 → 巻
    {u'\u53C3', u'\u53C2'}, // 參 → 参
    {u'\u56B4', u'\u53B3'}, // 嚴 → 厳
    {u'\u570B', u'\u56FD'}, // 國 → 国
    {u'\u570D', u'\u56F2'}, // 圍 → 囲
    {u'\u5713', u'\u5186'}, // 圓 → 円
    {u'\u5716', u'\u56F3'}, // 圖 → 図
    {u'\u5718', u'\u56E3'}, // 團 → 団
    {u'\u57DC', u'\u91CE'}, // 埜 → 野
    {u'\u582F', u'\u5C2D'}, // 堯 → 尭
    {u'\u589E', u'\u5897'}, // 增 → 増
    {u'\u58AE', u'\u5815'}, // 墮 → 堕
    {u'\u58EF', u'\u58EE'}, // 壯 → 壮
    {u'\u58F9', u'\u58F1'}, // 壹 → 壱
    {u'\u58FD', u'\u5BFF'}, // 壽 → 寿
    {u'\u5967', u'\u5965'}, // 奧 → 奥
    {u'\u596C', u'\u5968'}, // 奬 → 奨
    {u'\u5B78', u'\u5B66'}, // 學 → 学
    {u'\u5BE2', u'\u5BDD'}, // 寢 → 寝
    {u'\u5BE6', u'\u5B9F'}, // 實 → 実
    {u'\u5BEB', u'\u5199'}, // 寫 → 写
    {u'\u5BEC', u'\u5BDB'}, // 寬 → 寛
    {u'\u5BF6', u'\u5B9D'}, // 寶 → 宝
    {u'\u5C07', u'\u5C06'}, // 將 → 将
    {u'\u5C08', u'\u5C02'}, // 專 → 専
    {u'\u5C0D', u'\u5BFE'}, // 對 → 対
    {u'\u5C6C', u'\u5C5E'}, // 屬 → 属
    {u'\u5CE9', u'\u5CE8'}, // 峩 → 峨
    {u'\u5CEF', u'\u5CF0'}, // 峯 → 峰
    {u'\u5CFD', u'\u5CE1'}, // 峽 → 峡
    {u'\u5D52', u'\u5CA9'}, // 嵒 → 岩
    {u'\u5D53', u'\u5DCC'}, // 嵓 → 巌
    {u'\u5D5C', u'\u5D0E'}, // 嵜 → 崎
    {u'\u5D8B', u'\u5CF6'}, // 嶋 → 島
    {u'\u5D8C', u'\u5CF6'}, // 嶌 → 島
    {u'\u5DBD', u'\u5CB3'}, // 嶽 → 岳
    {u'\u5DD6', u'\u5DCC'}, // 巖 → 巌
    {u'\u5DD7', u'\u5CA9'}, // 巗 → 岩
    {u'\u5DE2', u'\u5DE3'}, // 巢 → 巣
    {u'\u5E36', u'\u5E2F'}, // 帶 → 帯
    {u'\u5EE3', u'\u5E83'}, // 廣 → 広
    {u'\u5EF3', u'\u5E81'}, // 廳 → 庁
    {u'\u5F48', u'\u5F3E'}, // 彈 → 弾
    {u'\u5F4C', u'\u5F25'}, // 彌 → 弥
    {u'\u5FB5', u'\u5FB4'}, // 徵 → 徴
    {u'\u5FB7', u'\u5FB3'}, // 德 → 徳
    {u'\u6046', u'\u6052'}, // 恆 → 恒
    {u'\u60E0', u'\u6075'}, // 惠 → 恵
    {u'\u60E1', u'\u60AA'}, // 惡 → 悪
    {u'\u61C9', u'\u5FDC'}, // 應 → 応
    {u'\u6200', u'\u604B'}, // 戀 → 恋
    {u'\u6230', u'\u6226'}, // 戰 → 戦
    {u'\u6236', u'\u6238'}, // 戶 → 戸
    {u'\u62C2', u'\u6255'}, // 拂 → 払
    {u'\u62D4', u'\u629C'}, // 拔 → 抜
    {u'\u62DC', u'\u62DD'}, // 拜 → 拝
    {u'\u64D4', u'\u62C5'}, // 擔 → 担
    {u'\u64E7', u'\u6319'}, // 擧 → 挙
    {u'\u651D', u'\u6442'}, // 攝 → 摂
    {u'\u6536', u'\u53CE'}, // 收 → 収
    {u'\u6548', u'\u52B9'}, // 效 → 効
    {u'\u6555', u'\u52C5'}, // 敕 → 勅
    {u'\u6578', u'\u6570'}, // 數 → 数
    {u'\u6589', u'\u658E'}, // 斉 → 斎
    {u'\u65B7', u'\u65AD'}, // 斷 → 断
    {u'\u665D', u'\u663C'}, // 晝 → 昼
    {u'\u66C9', u'\u6681'}, // 曉 → 暁
    {u'\u66FE', u'\u66FD'}, // 曾 → 曽
    {u'\u6703', u'\u4F1A'}, // 會 → 会
    {u'\u6766', u'\u6749'}, // 杦 → 杉
    {u'\u6852', u'\u6851'}, // 桒 → 桑
    {u'\u689D', u'\u6761'}, // 條 → 条
    {u'\u68E7', u'\u685F'}, // 棧 → 桟
    {u'\u69AE', u'\u6804'}, // 榮 → 栄
    {u'\u69C7', u'\u69D9'}, // 槇 → 槙
    {u'\u6A02', u'\u697D'}, // 樂 → 楽
    {u'\u6A13', u'\u697C'}, // 樓 → 楼
    {u'\u6A23', u'\u69D8'}, // 樣 → 様
    {u'\u6A6B', u'\u6A2A'}, // 橫 → 横
    {u'\u6A9C', u'\u6867'}, // 檜 → 桧
    {u'\u6AA2', u'\u691C'}, // 檢 → 検
    {u'\u6AAA', u'\u6ADF'}, // 檪 → 櫟
    {u'\u6AAE', u'\u68BC'}, // 檮 → 梼
    {u'\u6AFB', u'\u685C'}, // 櫻 → 桜
    {u'\u6B0A', u'\u6A29'}, // 權 → 権
    {u'\u6B61', u'\u6B53'}, // 歡 → 歓
    {u'\u6B65', u'\u6B69'}, // 步 → 歩
    {u'\u6B78', u'\u5E30'}, // 歸 → 帰
    {u'\u6B98', u'\u6B8B'}, // 殘 → 残
    {u'\u6BCF', u'\u6BCE'}, // 每 → 毎
    {u'\u6C23', u'\u6C17'}, // 氣 → 気
    {u'\u6DE8', u'\u6D44'}, // 淨 → 浄
    {u'\u6DF5', u'\u6E15'}, // 淵 → 渕
    {u'\u6DF8', u'\u6E05'}, // 淸 → 清
    {u'\u6DFA', u'\u6D45'}, // 淺 → 浅
    {u'\u6EAA', u'\u6E13'}, // 溪 → 渓
    {u'\u6EAB', u'\u6E29'}, // 溫 → 温
    {u'\u6EEF', u'\u6EDE'}, // 滯 → 滞
    {u'\u6EFF', u'\u6E80'}, // 滿 → 満
    {u'\u6F5B', u'\u6F5C'}, // 潛 → 潜
    {u'\u6F81', u'\u6E0B'}, // 澁 → 渋
    {u'\u6FA4', u'\u6CA2'}, // 澤 → 沢
    {u'\u6FD5', u'\u6E7F'}, // 濕 → 湿
    {u'\u6FDF', u'\u6E08'}, // 濟 → 済
    {u'\u6FF1', u'\u6D5C'}, // 濱 → 浜
    {u'\u6FF5', u'\u6D5C'}, // 濵 → 浜
    {u'\u7027', u'\u6EDD'}, // 瀧 → 滝
    {u'\u7028', u'\u702C'}, // 瀨 → 瀬
    {u'\u7063', u'\u6E7E'}, // 灣 → 湾
    {u'\u71C8', u'\u706F'}, // 燈 → 灯
    {u'\u71D2', u'\u713C'}, // 燒 → 焼
    {u'\u71DF', u'\u55B6'}, // 營 → 営
    {u'\u7210', u'\u7089'}, // 爐 → 炉
    {u'\u7232', u'\u70BA'}, // 爲 → 為
    {u'\u72F9', u'\u72ED'}, // 狹 → 狭
    {u'\u7368', u'\u72EC'}, // 獨 → 独
    {u'\u7375', u'\u731F'}, // 獵 → 猟
    {u'\u74E3', u'\u5F01'}, // 瓣 → 弁
    {u'\u7501', u'\u74F6'}, // 甁 → 瓶
    {u'\u756B', u'\u753B'}, // 畫 → 画
    {u'\u7576', u'\u5F53'}, // 當 → 当
    {u'\u758A', u'\u7573'}, // 疊 → 畳
    {u'\u767C', u'\u767A'}, // 發 → 発
    {u'\u76E1', u'\u5C3D'}, // 盡 → 尽
    {u'\u771E', u'\u771F'}, // 眞 → 真
    {u'\u784F', u'\u7814'}, // 硏 → 研
    {u'\u7957', u'\u7947'}, // 祗 → 祇
    {u'\u797F', u'\u7984'}, // 祿 → 禄
    {u'\u79AA', u'\u7985'}, // 禪 → 禅
    {u'\u79AE', u'\u793C'}, // 禮 → 礼
    {u'\u79B1', u'\u7977'}, // 禱 → 祷
    {u'\u79CC', u'\u79CB'}, // 秌 → 秋
    {u'\u7A31', u'\u79F0'}, // 稱 → 称
    {u'\u7A3B', u'\u7A32'}, // 稻 → 稲
    {u'\u7A57', u'\u7A42'}, // 穗 → 穂
    {u'\u7AC8', u'\u91DC'}, // 竈 → 釜
    {u'\u7ADD', u'\u4E26'}, // 竝 → 並
    {u'\u7C54', u'\u85AE'}, // 籔 → 薮
    {u'\u7C60', u'\u7BED'}, // 籠 → 篭
    {u'\u7D72', u'\u7CF8'}, // 絲 → 糸
    {u'\u7D93', u'\u7D4C'}, // 經 → 経
    {u'\u7DA0', u'\u7DD1'}, // 綠 → 緑
    {u'\u7DD6', u'\u7DD2'}, // 緖 → 緒
    {u'\u7E23', u'\u770C'}, // 縣 → 県
    {u'\u7E31', u'\u7E26'}, // 縱 → 縦
    {u'\u7E3D', u'\u7DCF'}, // 總 → 総
    {u'\u7E69', u'\u7E04'}, // 繩 → 縄
    {u'\u7E6A', u'\u7D75'}, // 繪 → 絵
    {u'\u7E7C', u'\u7D99'}, // 繼 → 継
    {u'\u7E8C', u'\u7D9A'}, // 續 → 続
    {u'\u7F3A', u'\u6B20'}, // 缺 → 欠
    {u'\u8072', u'\u58F0'}, // 聲 → 声
    {u'\u81BD', u'\u80C6'}, // 膽 → 胆
    {u'\u81FA', u'\u53F0'}, // 臺 → 台
    {u'\u8207', u'\u4E0E'}, // 與 → 与
    {u'\u820A', u'\u65E7'}, // 舊 → 旧
    {u'\u820D', u'\u820E'}, // 舍 → 舎
    {u'\u8216', u'\u8217'}, // 舖 → 舗
    {u'\u8218', u'\u9928'}, // 舘 → 館
    {u'\u8229', u'\u8239'}, // 舩 → 船
    {u'\u838A', u'\u8358'}, // 莊 → 荘
    {u'\u8396', u'\u830E'}, // 莖 → 茎
    {u'\u83B5', u'\u83DF'}, // 莵 → 菟
    {u'\u842C', u'\u4E07'}, // 萬 → 万
    {u'\u85B0', u'\u85AB'}, // 薰 → 薫
    {u'\u85CF', u'\u8535'}, // 藏 → 蔵
    {u'\u85DD', u'\u82B8'}, // 藝 → 芸
    {u'\u85E5', u'\u85AC'}, // 藥 → 薬
    {u'\u85EA', u'\u85AE'}, // 藪 → 薮
    {u'\u8606', u'\u82A6'}, // 蘆 → 芦
    {u'\u8655', u'\u51E6'}, // 處 → 処
    {u'\u865F', u'\u53F7'}, // 號 → 号
    {u'\u87A2', u'\u86CD'}, // 螢 → 蛍
    {u'\u87F2', u'\u866B'}, // 蟲 → 虫
    {u'\u8836', u'\u8695'}, // 蠶 → 蚕
    {u'\u885E', u'\u885B'}, // 衞 → 衛
    {u'\u88DD', u'\u88C5'}, // 裝 → 装
    {u'\u89BA', u'\u899A'}, // 覺 → 覚
    {u'\u89BD', u'\u89A7'}, // 覽 → 覧
    {u'\u89C0', u'\u89B3'}, // 觀 → 観
    {u'\u89F8', u'\u89E6'}, // 觸 → 触
    {u'\u8B20', u'\u8B21'}, // 謠 → 謡
    {u'\u8B7D', u'\u8A89'}, // 譽 → 誉
    {u'\u8B80', u'\u8AAD'}, // 讀 → 読
    {u'\u8B93', u'\u8B72'}, // 讓 → 譲
    {u'\u8C3F', u'\u6E13'}, // 谿 → 渓
    {u'\u8C50', u'\u8C4A'}, // 豐 → 豊
    {u'\u8C6B', u'\u4E88'}, // 豫 → 予
    {u'\u8CB3', u'\u5F10'}, // 貳 → 弐
    {u'\u8CE3', u'\u58F2'}, // 賣 → 売
    {u'\u8CF4', u'\u983C'}, // 賴 → 頼
    {u'\u8F15', u'\u8EFD'}, // 輕 → 軽
    {u'\u8F49', u'\u8EE2'}, // 轉 → 転
    {u'\u8FA8', u'\u5F01'}, // 辨 → 弁
    {u'\u8FAF', u'\u5F01'}, // 辯 → 弁
    {u'\u9059', u'\u9065'}, // 遙 → 遥
    {u'\u9072', u'\u9045'}, // 遲 → 遅
    {u'\u9089', u'\u8FBA'}, // 邉 → 辺
    {u'\u908A', u'\u8FBA'}, // 邊 → 辺
    {u'\u90A8', u'\u6751'}, // 邨 → 村
    {u'\u9115', u'\u90F7'}, // 鄕 → 郷
    {u'\u91AB', u'\u533B'}, // 醫 → 医
    {u'\u91CB', u'\u91C8'}, // 釋 → 釈
    {u'\u9264', u'\u920E'}, // 鉤 → 鈎
    {u'\u9304', u'\u9332'}, // 錄 → 録
    {u'\u9322', u'\u92AD'}, // 錢 → 銭
    {u'\u93AD', u'\u93AE'}, // 鎭 → 鎮
    {u'\u9435', u'\u9244'}, // 鐵 → 鉄
    {u'\u9444', u'\u92F3'}, // 鑄 → 鋳
    {u'\u95DC', u'\u95A2'}, // 關 → 関
    {u'\u96A8', u'\u968F'}, // 隨 → 随
    {u'\u96B1', u'\u96A0'}, // 隱 → 隠
    {u'\u96D9', u'\u53CC'}, // 雙 → 双
    {u'\u96DC', u'\u96D1'}, // 雜 → 雑
    {u'\u9738', u'\u8987'}, // 霸 → 覇
    {u'\u9748', u'\u970A'}, // 靈 → 霊
    {u'\u974D', u'\u9DB4'}, // 靍 → 鶴
    {u'\u9751', u'\u9752'}, // 靑 → 青
    {u'\u975C', u'\u9759'}, // 靜 → 静
    {u'\u986F', u'\u9855'}, // 顯 → 顕
    {u'\u9918', u'\u4F59'}, // 餘 → 余
    {u'\u9920', u'\u9905'}, // 餠 → 餅
    {u'\u9A52', u'\u9A28'}, // 驒 → 騨
    {u'\u9A57', u'\u9A13'}, // 驗 → 験
    {u'\u9A5B', u'\u99C5'}, // 驛 → 駅
    {u'\u9AD4', u'\u4F53'}, // 體 → 体
    {u'\u9AD9', u'\u9AD8'}, // 髙 → 高
    {u'\u9AEE', u'\u9AEA'}, // 髮 → 髪
    {u'\u9C3A', u'\u9BF5'}, // 鰺 → 鯵
    {u'\u9DC4', u'\u9D8F'}, // 鷄 → 鶏
    {u'\u9DD7', u'\u9D0E'}, // 鷗 → 鴎
    {u'\u9E7D', u'\u5869'}, // 鹽 → 塩
    {u'\u9EA5', u'\u9EA6'}, // 麥 → 麦
    {u'\u9EB4', u'\u9EB9'}, // 麴 → 麹
    {u'\u9EC3', u'\u9EC4'}, // 黃 → 黄
    {u'\u9ED1', u'\u9ED2'}, // 黑 → 黒
    {u'\u9EDE', u'\u70B9'}, // 點 → 点
    {u'\u9EE8', u'\u515A'}, // 黨 → 党
    {u'\u9F4A', u'\u658E'}, // 齊 → 斎
    {u'\u9F4B', u'\u658E'}, // 齋 → 斎
    {u'\u9F52', u'\u6B6F'}, // 齒 → 歯
    {u'\u9F8D', u'\u7ADC'}, // 龍 → 竜
    {u'\u9F9C', u'\u4E80'}, // 龜 → 亀
    {u'\u9F9D', u'\u79CB'}, // 龝 → 秋
    {u'\uFA11', u'\u5D0E'}, // 﨑 → 崎
};
static_assert(std::is_sorted(std::begin(kVariants), std::end(kVariants),
                             [](const Variant &a, const Variant &b) { return a.from < b.from; }));

// One bit for each character that has a pair, so that the many kanji that have none are passed at once.
struct Bitmap {
    std::array<quint64, 65536 / 64> words{};
    constexpr Bitmap()
    {
        for (const Variant &v : kVariants)
            words[v.from / 64] |= quint64(1) << (v.from % 64);
    }
    constexpr bool has(char16_t c) const { return (words[c / 64] >> (c % 64)) & 1; }
};
constexpr Bitmap kHasVariant;

} // namespace

char16_t KanjiVariants::compared(char16_t c)
{
    if (!kHasVariant.has(c))
        return c;
    const auto it = std::lower_bound(std::begin(kVariants), std::end(kVariants), c,
                                     [](const Variant &v, char16_t k) { return v.from < k; });
    return it != std::end(kVariants) && it->from == c ? it->to : c;
}
