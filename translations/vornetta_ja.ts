<?xml version="1.0" encoding="utf-8"?>
<!DOCTYPE TS>
<TS version="2.1" language="ja" sourcelanguage="en">
<context>
    <name>FailureReason</name>
    <message>
        <source>not a HEIC file or damaged</source>
        <translation>HEIC ファイルでないか破損しています</translation>
    </message>
    <message>
        <source>damaged JPEG file</source>
        <translation>JPEG ファイルが破損しています</translation>
    </message>
    <message>
        <source>damaged PNG file</source>
        <translation>PNG ファイルが破損しています</translation>
    </message>
    <message>
        <source>picture larger than %1 pixels</source>
        <translation>画像が %1 ピクセルを超えています</translation>
    </message>
    <message>
        <source>1 tile could not be decoded</source>
        <translation>1 個のタイルをデコードできませんでした</translation>
    </message>
    <message>
        <source>%1 tiles could not be decoded</source>
        <translation>%1 個のタイルをデコードできませんでした</translation>
    </message>
    <message>
        <source>cannot read the picture&apos;s orientation</source>
        <translation>画像の向きを読み取れません</translation>
    </message>
    <message>
        <source>more than %1 pictures</source>
        <translation>画像が %1 枚を超えています</translation>
    </message>
    <message>
        <source>not enough memory</source>
        <translation>メモリが不足しています</translation>
    </message>
    <message>
        <source>took too long</source>
        <translation>時間がかかりすぎました</translation>
    </message>
    <message>
        <source>stopped</source>
        <translation>停止しました</translation>
    </message>
    <message>
        <source>cannot read the file</source>
        <translation>ファイルを読み取れません</translation>
    </message>
    <message>
        <source>not a file</source>
        <translation>ファイルではありません</translation>
    </message>
    <message>
        <source>not enough disk space</source>
        <translation>ディスクの空き容量が不足しています</translation>
    </message>
    <message>
        <source>cannot write to the output folder</source>
        <translation>出力フォルダーに書き込めません</translation>
    </message>
    <message>
        <source>cannot write %1 files</source>
        <translation>%1 ファイルを書き込めません</translation>
    </message>
    <message>
        <source>the splitter could not be started</source>
        <translation>分割ツールを起動できませんでした</translation>
    </message>
    <message>
        <source>the splitter took too long</source>
        <translation>分割ツールが時間切れになりました</translation>
    </message>
    <message>
        <source>the splitter crashed</source>
        <translation>分割ツールがクラッシュしました</translation>
    </message>
    <message>
        <source>the splitter could not list the pictures</source>
        <translation>分割ツールが画像を一覧できませんでした</translation>
    </message>
    <message>
        <source>the splitter listed the pictures wrongly</source>
        <translation>分割ツールの画像一覧が不正です</translation>
    </message>
    <message>
        <source>the tile decoder could not be started</source>
        <translation>タイルデコーダーを起動できませんでした</translation>
    </message>
    <message>
        <source>the picture reader could not be started</source>
        <translation>画像リーダーを起動できませんでした</translation>
    </message>
    <message>
        <source>the picture reader took too long</source>
        <translation>画像リーダーが時間切れになりました</translation>
    </message>
    <message>
        <source>the picture reader crashed</source>
        <translation>画像リーダーがクラッシュしました</translation>
    </message>
    <message>
        <source>the picture reader failed</source>
        <translation>画像リーダーでエラーが発生しました</translation>
    </message>
    <message>
        <source>cannot read the picture reader&apos;s output</source>
        <translation>画像リーダーの出力を読み取れません</translation>
    </message>
    <message>
        <source>cannot read the stitched picture</source>
        <translation>結合した画像を読み取れません</translation>
    </message>
    <message>
        <source>cannot create the work folder</source>
        <translation>作業フォルダーを作成できません</translation>
    </message>
    <message>
        <source>cannot write the work folder</source>
        <translation>作業フォルダーに書き込めません</translation>
    </message>
    <message>
        <source>cannot empty the work folder</source>
        <translation>作業フォルダーを空にできません</translation>
    </message>
    <message>
        <source>cannot lock the work folder</source>
        <translation>作業フォルダーをロックできません</translation>
    </message>
    <message>
        <source>cannot make the work folder private</source>
        <translation>作業フォルダーを非公開にできません</translation>
    </message>
    <message>
        <source>the work folder is a link</source>
        <translation>作業フォルダーがリンクです</translation>
    </message>
    <message>
        <source>the work folder is not a folder</source>
        <translation>作業フォルダーがフォルダーではありません</translation>
    </message>
    <message>
        <source>the work folder belongs to another user</source>
        <translation>作業フォルダーが別のユーザーのものです</translation>
    </message>
    <message>
        <source>picture kind not supported: %1</source>
        <translation>未対応の画像の種類: %1</translation>
    </message>
</context>
<context>
    <name>HEICMainWidget</name>
    <message>
        <source>Ver: %1</source>
        <translation>Ver. %1</translation>
    </message>
    <message>
        <source>Drop HEIC files to here</source>
        <translation>ここに HEIC ファイルをドロップ</translation>
    </message>
    <message>
        <source>Add HEIC</source>
        <translation>HEIC を追加</translation>
    </message>
    <message>
        <source>Save to %1</source>
        <translation>%1 で保存</translation>
    </message>
    <message>
        <source>Stop</source>
        <translation>停止</translation>
    </message>
    <message>
        <source>Format:</source>
        <translation>形式:</translation>
    </message>
    <message>
        <source>JPG</source>
        <translation>JPG</translation>
    </message>
    <message>
        <source>PNG</source>
        <translation>PNG</translation>
    </message>
    <message>
        <source>BMP</source>
        <translation>BMP</translation>
    </message>
    <message>
        <source>Help</source>
        <translation>ヘルプ</translation>
    </message>
    <message>
        <source>Support</source>
        <translation>サポート</translation>
    </message>
    <message>
        <source>Homepage</source>
        <translation>ホームページ</translation>
    </message>
    <message>
        <source>Check for Updates</source>
        <translation>アップデートを確認</translation>
    </message>
    <message>
        <source>JPG quality</source>
        <translation>JPG の画質</translation>
    </message>
    <message>
        <source>Standard (75)</source>
        <translation>標準 (75)</translation>
    </message>
    <message>
        <source>High (90)</source>
        <translation>高画質 (90)</translation>
    </message>
    <message>
        <source>Best (95)</source>
        <translation>最高画質 (95)</translation>
    </message>
    <message>
        <source>Remove All</source>
        <translation>すべて削除</translation>
    </message>
    <message>
        <source>File</source>
        <translation>ファイル</translation>
    </message>
    <message>
        <source>Status</source>
        <translation>状態</translation>
    </message>
    <message>
        <source>Open File</source>
        <translation>ファイルを開く</translation>
    </message>
    <message>
        <source>Media</source>
        <translation>メディア</translation>
    </message>
    <message>
        <source>Not added to the list:</source>
        <translation>リストに追加されなかったもの:</translation>
    </message>
    <message>
        <source>not a .heic file</source>
        <translation>.heic ファイルではありません</translation>
    </message>
    <message>
        <source>not found</source>
        <translation>見つかりません</translation>
    </message>
    <message>
        <source>not a file</source>
        <translation>ファイルではありません</translation>
    </message>
    <message>
        <source>the file name is not valid UTF-8</source>
        <translation>ファイル名が正しい UTF-8 ではありません</translation>
    </message>
    <message>
        <source>no .heic, .heif or .hif file in it</source>
        <translation>.heic/.heif/.hif ファイルがありません</translation>
    </message>
    <message>
        <source>more than %1 files, the rest left out</source>
        <translation>%1 件を超えたため残りは除外</translation>
    </message>
    <message>
        <source>and %1 more</source>
        <translation>ほか %1 件</translation>
    </message>
    <message>
        <source>Open Directory</source>
        <translation>フォルダーを選択</translation>
    </message>
    <message>
        <source>waiting</source>
        <translation>待機中</translation>
    </message>
    <message>
        <source>converting</source>
        <translation>変換中</translation>
    </message>
    <message>
        <source>success</source>
        <translation>完了</translation>
    </message>
    <message>
        <source>failed: %1</source>
        <translation>失敗: %1</translation>
    </message>
    <message>
        <source>Converting %1 of %2: </source>
        <translation>変換中 %1/%2: </translation>
    </message>
    <message>
        <source>Do you want open the output folder? </source>
        <translation>出力フォルダーを開きますか?</translation>
    </message>
    <message>
        <source>%1 of %2 files could not be converted.</source>
        <translation>%2 件中 %1 件のファイルを変換できませんでした。</translation>
    </message>
    <message>
        <source>No file could be converted.</source>
        <translation>どのファイルも変換できませんでした。</translation>
    </message>
    <message>
        <source>The output folder could not be opened:</source>
        <translation>出力フォルダーを開けませんでした:</translation>
    </message>
    <message>
        <source>Menu</source>
        <translation>メニュー</translation>
    </message>
    <message>
        <source>Close</source>
        <translation>閉じる</translation>
    </message>
    <message>
        <source>Minimise</source>
        <translation>最小化</translation>
    </message>
    <message>
        <source>Files</source>
        <translation>ファイル一覧</translation>
    </message>
</context>
<context>
    <name>MyMessageBoxWidget</name>
    <message>
        <source>Close</source>
        <translation>閉じる</translation>
    </message>
    <message>
        <source>OK</source>
        <translation>OK</translation>
    </message>
    <message>
        <source>NO</source>
        <translation>いいえ</translation>
    </message>
    <message>
        <source>Yes</source>
        <translation>はい</translation>
    </message>
    <message>
        <source>Cancel</source>
        <translation>キャンセル</translation>
    </message>
    <message>
        <source>Download</source>
        <translation>ダウンロード</translation>
    </message>
</context>
<context>
    <name>UpdateWidget</name>
    <message>
        <source>Close</source>
        <translation>閉じる</translation>
    </message>
    <message>
        <source>Checking for updates</source>
        <translation>アップデートを確認中</translation>
    </message>
    <message>
        <source>A new version is available for %1</source>
        <translation>%1 の新しいバージョンがあります</translation>
    </message>
    <message>
        <source>Unable to check for updates. Please try again later.</source>
        <translation>更新を確認できませんでした。後でお試しください。</translation>
    </message>
    <message>
        <source>The current version is the latest version</source>
        <translation>お使いのバージョンは最新です</translation>
    </message>
    <message>
        <source>Update Now</source>
        <translation>今すぐ更新</translation>
    </message>
    <message>
        <source>Remind me Later</source>
        <translation>後で通知</translation>
    </message>
</context>
</TS>
