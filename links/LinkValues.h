#pragma once
// The maker's link values: the only place where a copy of Velmora says where
// its items lead. Each text reaches the desktop exactly as written here, so
// it must be plain ASCII and already in its final form (no escaping is done).
// The README's "Your own links" section explains what each value is and what a maker may change.
//
// The values below are placeholders that lead nowhere that belongs to anyone:
// hosts under the reserved .example top-level domain, a shop name that no
// Taobao shop can have (an underscore is not allowed in a host name) and the
// QQ number 0, which is no account.

// The maker's own site: its home page and one host per check service.
// Web links name the host only: no path and no closing slash.
inline constexpr const char* kHomePageLink = "http://www.velmora.example";
inline constexpr const char* kWanfangCheckLink = "http://wanfang.velmora.example";
inline constexpr const char* kVipCheckLink = "http://vip.velmora.example";
inline constexpr const char* kCnkiJournalCheckLink = "http://qikan.velmora.example";
inline constexpr const char* kCnkiVipCheckLink = "http://cnkivip.velmora.example";

// The partner site that backs up all four check services: one host, and the
// path that each service has there.
inline constexpr const char* kWanfangBackupLink = "http://partner.example/wanfang";
inline constexpr const char* kVipBackupLink = "http://partner.example/gocheck";
inline constexpr const char* kCnkiJournalBackupLink = "http://partner.example/qikan";
inline constexpr const char* kCnkiVipBackupLink = "http://partner.example/cnki";

// The maker's Taobao shop: http://<shop name>.taobao.com
inline constexpr const char* kShopLink = "http://maker_shop.taobao.com";

// QQ's public chat-link endpoint; only the number after "uin=" is the
// maker's (the support account).
inline constexpr const char* kQqChatLink = "http://wpa.qq.com/msgrd?v=3&uin=0&site=qq&menu=yes";

// The support mailbox.
inline constexpr const char* kMailLink = "mailto:support@velmora.example";
